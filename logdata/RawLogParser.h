#pragma once

#include <cstddef>

#include "core/AppState.h"

namespace quillon {

// From this text size on, ParseRawLog parses the text as two pieces on two
// threads. A full logger memory is some 40 MB; below a few megabytes the whole
// parse takes a few milliseconds and a second thread is not worth starting.
inline constexpr std::size_t kTwoPieceMinimumSize = std::size_t{4} << 20;

// ParseRawLog with the size from which the text is parsed in two pieces; the
// Fix List and fixCounter come out the same whatever that size is.
void ParseRawLogText(AppState& state, std::size_t twoPieceMinimumSize);

}  // namespace quillon
