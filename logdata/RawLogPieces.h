#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "core/RecordBlock.h"

namespace quillon {

// Where the bytes of a raw log come from when it is read piece by piece
// rather than held whole: its size, and a reader that puts the bytes from an
// offset at `to` and returns how many it put there (fewer only at the end of
// the log, 0 past it). The reader may be called from two threads at once.
struct RawLogSource {
  std::uint64_t size = 0;
  std::function<std::size_t(std::uint64_t offset, char* to, std::size_t count)> read;
};

// The source of bytes in memory.
RawLogSource TextSource(std::string_view text);

// The lines of one piece of a log (PieceStart): the bytes read for it and
// where among them its lines start and end. `bytes` is kept from piece to
// piece, so that a thread reading piece after piece reuses its memory.
struct PieceBytes {
  std::vector<char> bytes;
  std::string_view text;  // the bytes read
  std::size_t begin = 0;  // the piece's lines are those of text from here...
  std::size_t end = 0;    // ...to here
};

// Reads piece `piece` of the `pieces` pieces of about `pieceSize` bytes that
// cut the log: from PieceStart(log, piece * pieceSize) to where the next
// piece starts, found among the bytes just after its nominal start (more are
// read when the next GGA line lies further on). A piece that holds no GGA
// line start is empty, and is found so without reading on to where the next
// one starts; so is a piece without an LF between its offset and the next
// piece's. Every piece but the one before a long stretch without a GGA line
// reads about its own bytes, so a whole log costs time in proportion to its
// size.
void ReadPiece(const RawLogSource& log, std::size_t piece, std::size_t pieces, std::size_t pieceSize,
               PieceBytes& out);

// How many pieces of about `pieceSize` bytes a log of `size` bytes is cut
// into: at least one.
std::size_t PieceCount(std::uint64_t size, std::size_t pieceSize);

// Whether the log holds a fix at all; reads and parses piece by piece only
// as far as the first one.
bool RawLogHoldsAFix(const RawLogSource& log, std::size_t pieceSize);

}  // namespace quillon
