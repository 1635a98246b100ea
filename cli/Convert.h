#pragma once

#include <ostream>

#include "cli/ConvertOptions.h"

namespace quillon {

inline constexpr int kConvertOk = 0;
inline constexpr int kConvertFailed = 1;
inline constexpr int kConvertRefused = 2;

// Runs one conversion as the tool would export: load and parse the raw log,
// compute local times, select the range, write the file. Messages go to
// `err`, the written path to `out`. Returns the exit status.
int RunConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quillon
