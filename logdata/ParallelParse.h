#pragma once

#include <cstddef>

#include "core/AppState.h"

namespace quillon {

// From this text size on, ParseRawLog scans the two halves of the text on two
// threads. A full logger memory is some 40 MB; below a few megabytes the scan
// takes a few milliseconds and starting a thread is not worth it.
inline constexpr std::size_t kParallelParseMinimumSize = std::size_t{4} << 20;

// ParseRawLog with the text size from which the scan is split as a parameter.
// The Fix List and fixCounter come out the same whatever that size is.
void ParseRawLogText(AppState& state, std::size_t parallelMinimumSize);

}  // namespace quillon
