#pragma once

#include <cstddef>
#include <string_view>

#include "core/AppState.h"

namespace quillon {

// From this text size on, ParseRawLog parses the text as two pieces on two
// threads. A full logger memory is some 40 MB; below a few megabytes the whole
// parse takes a few milliseconds and a second thread is not worth starting.
inline constexpr std::size_t kTwoPieceMinimumSize = std::size_t{4} << 20;

// ParseRawLog with the size from which the text is parsed in two pieces; the
// Fix List and fixCounter come out the same whatever that size is.
void ParseRawLogText(AppState& state, std::size_t twoPieceMinimumSize);

// Pieces of a raw log text that parse alone, as the converter reads a log
// without holding all its records: a GGA line drops whatever record still
// waits for its RMC line, so nothing before a GGA line reaches a record after
// it, and a piece that starts at one gives the records the whole text gives
// there. PieceStart(text, from) is where the piece for the bytes from `from`
// on starts: 0 for 0, else the first GGA line that starts after the line end
// at or after `from` (Checksum lines and text past a line's first 1023
// characters do not count), or text.size() when there is none. It never
// decreases as `from` grows, so the pieces [PieceStart(k * n), PieceStart((k
// + 1) * n)) cut the text without gap or overlap; some may be empty.
std::size_t PieceStart(std::string_view text, std::size_t from);

// The records of the lines from `begin` up to `end` in file order, in place
// of what `records` held. They are numbered from 1 within the piece, and
// their sentence spans are offsets into `text`.
void ParsePiece(std::string_view text, std::size_t begin, std::size_t end, RecordBlock& records);

}  // namespace quillon
