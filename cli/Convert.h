#pragma once

#include <ostream>
#include <string>

#include "cli/ConvertOptions.h"
#include "export/RangeSelection.h"

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

// Why a raw log could not be opened, in the command line's words. Only a
// regular file is read: a pipe or a device would block or never end.
const char* OpenProblem(const std::string& path);

// The tool's refusal of a range, as its window words it; nothing for an
// outcome that is no refusal.
const char* RefusalText(RangeOutcome outcome);

}  // namespace quillon
