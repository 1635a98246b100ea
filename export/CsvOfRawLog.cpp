#include "export/CsvOfRawLog.h"

#include <algorithm>
#include <cstdint>

#include "core/RecordBlock.h"
#include "export/BlocksInTurn.h"
#include "export/CsvRows.h"
#include "export/CsvWriter.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogParser.h"
#include "logdata/RawLogPieces.h"
#include "platform/SystemClock.h"

namespace quillon {

namespace {

// One piece's records and rows. The metres of a piece's first row are those
// from the last row of an earlier piece, which its thread may not have seen
// yet: the row is written without them, and they go in where `cut` says
// when the piece is handed on in order. Each slot is written row by row by
// its own thread, so slots never share a cache line.
struct alignas(64) PieceRows {
  PieceBytes bytes;
  RecordBlock records;
  RowText text{kCsvPieceSize / 2 + kMaxRowText};
  std::size_t fixes = 0;
  std::size_t rows = 0;
  std::size_t cut = 0;
  SignedPosition first{};
  SignedPosition last{};
  std::int64_t metres = 0;  // of the rows after the first
};

void MakePiece(PieceRows& piece, const RawLogSource& log, std::size_t index, std::size_t pieces,
               std::size_t pieceSize, const RangeFilter& filter, bool useLocalTime) {
  ReadPiece(log, index, pieces, pieceSize, piece.bytes);
  if (piece.bytes.begin < piece.bytes.end) {
    ParsePiece(piece.bytes.text, piece.bytes.begin, piece.bytes.end, piece.records);
  } else {
    piece.records.clear();
  }
  if (useLocalTime) FillLocalTimes(piece.records.begin(), piece.records.end());
  piece.fixes = piece.records.size();
  piece.rows = 0;
  piece.metres = 0;
  piece.text.Clear();
  for (const FixRecord& r : piece.records) {
    if (!filter.Matches(r)) continue;
    const SignedPosition position = PositionOf(r);
    char* const row = piece.text.Room(kMaxRowText);
    char* at = WriteRowCells(row, r, useLocalTime);
    if (piece.rows == 0) {
      piece.first = position;
      piece.cut = piece.text.Size() + static_cast<std::size_t>(at - row);
      *at++ = '\n';
    } else {
      const std::int64_t metres = MetresBetween(piece.last, position);
      piece.metres += metres;
      at = EndRow(at, metres);
    }
    piece.text.Written(at);
    piece.last = position;
    ++piece.rows;
  }
}

}  // namespace

std::size_t WriteCsvOfRawLog(std::ostream& out, const RawLogSource& log, const RangeFilter& filter, bool useLocalTime,
                             std::size_t pieceSize) {
  if (useLocalTime) ReloadTimeZone();
  pieceSize = std::max<std::size_t>(pieceSize, 1);
  const std::size_t pieces = PieceCount(log.size, pieceSize);
  PieceRows slots[3];
  std::size_t fixes = 0;
  std::int64_t total = 0;
  bool anyRow = false;
  SignedPosition last{};
  MakeBlocksInTurn(
      pieces,
      [&](std::size_t piece, int slot) { MakePiece(slots[slot], log, piece, pieces, pieceSize, filter, useLocalTime); },
      [&](std::size_t, int slot) {
        const PieceRows& piece = slots[slot];
        // Nothing, not even the header, goes out before a fix is known.
        if (fixes == 0 && piece.fixes > 0) out << kCsvHeader << "\r\n";
        fixes += piece.fixes;
        if (piece.rows == 0) return;
        const std::int64_t firstMetres = anyRow ? MetresBetween(last, piece.first) : 0;
        const std::string_view rows = piece.text.View();
        out.write(rows.data(), static_cast<std::streamsize>(piece.cut));
        char metres[kMaxIntegerText];
        out.write(metres, WriteInteger(metres, firstMetres) - metres);
        out.write(rows.data() + piece.cut, static_cast<std::streamsize>(rows.size() - piece.cut));
        total += firstMetres + piece.metres;
        last = piece.last;
        anyRow = true;
      });
  if (fixes == 0) return 0;
  RowText tail(kMaxRowText);
  WriteCsvTotal(tail, total);
  tail.WriteTo(out);
  return fixes;
}

}  // namespace quillon
