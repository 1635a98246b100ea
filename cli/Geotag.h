#pragma once

#include <ostream>

#include "cli/GeotagOptions.h"

namespace quillon {

// Tags the photos of `options` from the fixes of its raw log, one line per
// photo on `out`, the summary and any problem with the log on `err`.
// Returns the exit status: 0 when every photo was tagged or deliberately
// left alone, 1 when a photo failed or the log cannot be read or holds no
// fix, 2 when the tool refuses the range.
int RunGeotag(const GeotagOptions& options, std::ostream& out, std::ostream& err);

}  // namespace quillon
