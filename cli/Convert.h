#pragma once

#include <ostream>

#include "cli/ConvertOptions.h"

namespace quillon {

inline constexpr int kConvertOk = 0;
inline constexpr int kConvertFailed = 1;
inline constexpr int kConvertRefused = 2;

// Runs one conversion as the tool would export: load and parse the raw log,
// compute local times, select the range, write the file. Messages go to
// `err`, the written path to `out` (nothing when the output is a stream).
// Returns the exit status: failed for a raw log that is no regular file, one
// that changed while it was read, or an output that cannot be written (with
// the cause), refused for an output that is the raw log itself (checked
// before anything is read, and again on the opened log).
int RunConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quillon
