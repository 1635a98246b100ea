#pragma once

#include <cstddef>
#include <ostream>

#include "export/RangeSelection.h"
#include "logdata/RawLogPieces.h"

namespace quillon {

// The raw log is read in pieces of about this many bytes, each parsed and
// written as rows before the next, so that only a few pieces' records and
// rows exist at any time.
inline constexpr std::size_t kCsvPieceSize = std::size_t{64} << 10;

// The CSV table of the fixes of a raw log that `filter` selects, the same
// bytes as WriteCsv of the Selection List that parsing the log and selecting
// would give, made without either list: the log is read and parsed piece by
// piece (ReadPiece), on two threads taking pieces in turn, and each piece's
// rows are written as soon as the pieces before them are. Returns how many
// fixes the log holds; when it holds none, nothing is written.
std::size_t WriteCsvOfRawLog(std::ostream& out, const RawLogSource& log, const RangeFilter& filter, bool useLocalTime,
                             std::size_t pieceSize = kCsvPieceSize);

}  // namespace quillon
