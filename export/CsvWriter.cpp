#include "export/CsvWriter.h"

#include <algorithm>
#include <cstdint>
#include <memory>

#include "export/BlocksInTurn.h"
#include "export/CsvRows.h"

namespace quillon {

std::string CsvFileName(const AppState& state) {
  return state.logStamp + "_LogData_" + std::to_string(state.logSerial) + ".csv";
}

namespace {

// The rows of fixes [begin, end) of the selection, appended to `out` (which
// is written to `stream` whenever it passes a chunk, when a stream is given);
// the metres of the first row are those from the fix before `begin`. Returns
// the sum of the rows' metres.
std::int64_t AppendRows(RowText& out, std::ostream* stream, const FixList& selection, std::size_t begin,
                        std::size_t end, bool useLocalTime) {
  std::int64_t total = 0;
  SignedPosition previous = begin > 0 ? PositionOf(selection[begin - 1]) : SignedPosition{};
  for (std::size_t i = begin; i < end; ++i) {
    const FixRecord& r = selection[i];
    const SignedPosition position = PositionOf(r);
    const std::int64_t metres = i > 0 ? MetresBetween(previous, position) : 0;
    previous = position;
    total += metres;
    char* at = out.Room(kMaxRowText);
    out.Written(EndRow(WriteRowCells(at, r, useLocalTime), metres));
    if (stream && out.Size() >= kChunkSize) {
      out.WriteTo(*stream);
      out.Clear();
    }
  }
  return total;
}

// A large selection is formatted on two threads in blocks of `blockRows`
// rows (MakeBlocksInTurn): this thread formats its blocks straight into the
// stream, the worker into texts that this one writes after the block before
// them. The first row of each block measures from the last row of the block
// before, and the total is a sum of whole metres, so the bytes are those of
// one thread. Only a few blocks of text exist at any time.
std::int64_t WriteRowsInBlocks(std::ostream& out, const FixList& selection, bool useLocalTime,
                               std::size_t blockRows) {
  const std::size_t rows = selection.Size();
  RowText mine(kChunkSize + kMaxRowText);
  std::unique_ptr<RowText> texts[3];
  std::int64_t metres[3] = {0, 0, 0};
  std::int64_t total = 0;
  MakeBlocksInTurn(
      (rows + blockRows - 1) / blockRows,
      [&](std::size_t block, int slot) {
        const std::size_t begin = block * blockRows;
        const std::size_t end = std::min(rows, begin + blockRows);
        if (slot == 0) {
          metres[0] = AppendRows(mine, &out, selection, begin, end, useLocalTime);
          mine.WriteTo(out);
          mine.Clear();
          return;
        }
        if (!texts[slot]) texts[slot] = std::make_unique<RowText>(blockRows * 80 + kMaxRowText);
        texts[slot]->Clear();
        metres[slot] = AppendRows(*texts[slot], nullptr, selection, begin, end, useLocalTime);
      },
      [&](std::size_t, int slot) {
        if (slot != 0) texts[slot]->WriteTo(out);
        total += metres[slot];
      });
  return total;
}

}  // namespace

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime) {
  WriteCsv(out, selection, useLocalTime, kCsvTwoPieceMinimumRows);
}

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime, std::size_t twoPieceMinimumRows,
              std::size_t blockRows) {
  out << kCsvHeader << "\r\n";
  RowText tail(kChunkSize + kMaxRowText);
  std::int64_t total = 0;
  if (selection.Size() < twoPieceMinimumRows || selection.Size() < 2) {
    total = AppendRows(tail, &out, selection, 0, selection.Size(), useLocalTime);
  } else {
    total = WriteRowsInBlocks(out, selection, useLocalTime, std::max<std::size_t>(blockRows, 1));
  }
  WriteCsvTotal(tail, total);
  tail.WriteTo(out);
}

}  // namespace quillon
