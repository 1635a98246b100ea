#include "export/CsvWriter.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <exception>
#include <string_view>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "export/FixText.h"
#include "logdata/Distance.h"

namespace quillon {

namespace {

struct SignedPosition {
  std::int32_t latitude;
  std::int32_t longitude;
};

// A cell that a spreadsheet reads as a plain number: a sign, then digits
// with at most one point among them.
bool IsPlainNumber(bool minus, std::string_view text) {
  if (!minus && !text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  bool digit = false;
  bool point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

// The most characters WriteLogCell puts down for a text of `length`: quotes,
// apostrophe, sign and every character doubled.
constexpr std::size_t MaxLogCell(std::size_t length) { return 4 + 2 * length; }

// Text copied from the log as one cell, after a minus sign that the writer
// puts in front when `minus`. A cell that would start a formula in a
// spreadsheet (=, +, -, @, tab or CR first) and is not a plain number gets a
// leading apostrophe; a cell holding the separator, a quote, CR or LF is
// quoted, with its quotes doubled. A number, the log's normal content, is
// copied as is, and so is the sign alone, which spreadsheets take as text.
// What kinds of character a cell holds, one bit each, looked up per
// character.
enum CellCharacter : std::uint8_t { kDigitCharacter = 1, kPointCharacter = 2, kOtherCharacter = 4 };

constexpr std::array<std::uint8_t, 256> kCellCharacters = [] {
  std::array<std::uint8_t, 256> kinds{};
  for (std::size_t c = 0; c < kinds.size(); ++c) {
    kinds[c] = c >= '0' && c <= '9' ? kDigitCharacter : c == '.' ? kPointCharacter : kOtherCharacter;
  }
  return kinds;
}();

char* WriteLogCell(char* at, bool minus, std::string_view text) {
  // The log's normal content, digits and points, needs neither quotes nor an
  // apostrophe unless a sign in front makes it start like a formula.
  unsigned kinds = 0;
  for (char c : text) kinds |= kCellCharacters[static_cast<unsigned char>(c)];
  if ((kinds & kOtherCharacter) == 0 &&
      (!minus || text.empty() || ((kinds & kDigitCharacter) != 0 && std::count(text.begin(), text.end(), '.') <= 1))) {
    if (minus) *at++ = '-';
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    return at + text.size();
  }
  bool quote = false;
  for (char c : text) quote |= c == ',' || c == '"' || c == '\r' || c == '\n';
  const char first = minus ? '-' : (text.empty() ? '\0' : text[0]);
  const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(first) != std::string_view::npos &&
                       !IsPlainNumber(minus, text);
  if (quote) *at++ = '"';
  if (formula) *at++ = '\'';
  if (minus) *at++ = '-';
  for (char c : text) {
    if (c == '"') *at++ = '"';
    *at++ = c;
  }
  if (quote) *at++ = '"';
  return at;
}

SignedPosition PositionOf(std::string_view latitude, std::string_view longitude, const FixRecord& r) {
  return {ToSignedMicroDegrees(latitude, IsSouth(r)), ToSignedMicroDegrees(longitude, IsWest(r))};
}

SignedPosition PositionOf(const FixRecord& r) {
  return PositionOf(r.latitudeDegrees.View(), r.longitudeDegrees.View(), r);
}

}  // namespace

std::string CsvFileName(const AppState& state) {
  return state.logStamp + "_LogData_" + std::to_string(state.logSerial) + ".csv";
}

namespace {

// Output text that rows are written into through a pointer. Room for a whole
// row is made once per row, so that the cells need no checks of their own;
// the buffer is not cleared before it is written.
class RowText {
 public:
  explicit RowText(std::size_t capacity) : data_(new char[capacity]), capacity_(capacity) {}

  // Where the next text goes, with room for `room` characters after it.
  char* Room(std::size_t room) {
    if (size_ + room > capacity_) Grow(size_ + room);
    return data_.get() + size_;
  }
  // The text written from Room() on ends at `end`.
  void Written(const char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  void Append(std::string_view text) {
    std::memcpy(Room(text.size()), text.data(), text.size());
    size_ += text.size();
  }
  std::size_t Size() const { return size_; }
  void Clear() { size_ = 0; }
  void WriteTo(std::ostream& stream) const { stream.write(data_.get(), static_cast<std::streamsize>(size_)); }

 private:
  void Grow(std::size_t needed) {
    const std::size_t capacity = std::max(needed, capacity_ * 2);
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t capacity_ = 0;
  std::size_t size_ = 0;
};

// The most characters one row can take.
constexpr std::size_t kMaxRowText = 2 * MaxLogCell(FixedText<15>::Capacity()) + 3 * kMaxIntegerText +
                                    MaxLogCell(FixedText<10>::Capacity()) + 2 * kMaxTwoDecimalsText +
                                    kMaxDateTimeText + 8;

// One stream write per row would cost more than the row's text.
constexpr std::size_t kChunkSize = 1 << 16;

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
    const std::string_view longitude = r.longitudeDegrees.View();
    const std::string_view latitude = r.latitudeDegrees.View();
    const SignedPosition position = PositionOf(latitude, longitude, r);
    std::int64_t metres = 0;
    if (i > 0) {
      metres = static_cast<std::int64_t>(
          DistanceMetres(previous.latitude, previous.longitude, position.latitude, position.longitude));
    }
    previous = position;
    total += metres;

    char* at = out.Room(kMaxRowText);
    at = WriteLogCell(at, IsWest(r), longitude);
    *at++ = ',';
    at = WriteLogCell(at, IsSouth(r), latitude);
    *at++ = ',';
    at = WriteInteger(at, KnotsToKilometresPerHour(r.speedKnots));
    *at++ = ',';
    at = WriteLogCell(at, false, r.courseText.View());
    *at++ = ',';
    at = WriteInteger(at, r.satellites);
    *at++ = ',';
    at = WriteTwoDecimals(at, r.hdop);
    *at++ = ',';
    at = WriteTwoDecimals(at, r.altitude);
    *at++ = ',';
    at = WriteDateTime(at, r, useLocalTime);
    at = WriteInteger(at, metres);
    *at++ = '\n';
    out.Written(at);
    if (stream && out.Size() >= kChunkSize) {
      out.WriteTo(*stream);
      out.Clear();
    }
  }
  return total;
}

// The blocks that the worker formats for the writing thread: two texts that
// it fills in turn, so that it can format one block while the other waits
// to be written.
struct BlockHandoff {
  std::mutex mutex;
  std::condition_variable changed;
  std::unique_ptr<RowText> texts[2];
  std::int64_t metres[2] = {0, 0};
  bool full[2] = {false, false};
  bool stop = false;  // the writing thread gave up
  std::exception_ptr error;
};

// A large selection is formatted on two threads in blocks of `blockRows`
// rows: this one formats the even blocks straight into the stream, the
// worker the odd ones, which this one writes after the block before them.
// The first row of each block measures from the last row of the block
// before, and the total is a sum of whole metres, so the bytes are those of
// one thread. Only a few blocks of text exist at any time. False when no
// thread could be had; nothing is written then.
bool WriteRowsOnTwoThreads(std::ostream& out, const FixList& selection, bool useLocalTime, std::size_t blockRows,
                           std::int64_t& total) {
  const std::size_t rows = selection.Size();
  const std::size_t blocks = (rows + blockRows - 1) / blockRows;
  auto rowsOf = [&](std::size_t block, std::size_t& begin, std::size_t& end) {
    begin = block * blockRows;
    end = std::min(rows, begin + blockRows);
  };
  BlockHandoff handoff;
  std::thread worker;
  try {
    worker = std::thread([&]() noexcept {
      try {
        for (std::size_t block = 1; block < blocks; block += 2) {
          const std::size_t slot = block / 2 % 2;
          {
            std::unique_lock<std::mutex> lock(handoff.mutex);
            handoff.changed.wait(lock, [&] { return !handoff.full[slot] || handoff.stop; });
            if (handoff.stop) return;
          }
          if (!handoff.texts[slot]) handoff.texts[slot] = std::make_unique<RowText>(blockRows * 80 + kMaxRowText);
          RowText& text = *handoff.texts[slot];
          text.Clear();
          std::size_t begin = 0;
          std::size_t end = 0;
          rowsOf(block, begin, end);
          const std::int64_t metres = AppendRows(text, nullptr, selection, begin, end, useLocalTime);
          std::lock_guard<std::mutex> lock(handoff.mutex);
          handoff.metres[slot] = metres;
          handoff.full[slot] = true;
          handoff.changed.notify_all();
        }
      } catch (...) {
        std::lock_guard<std::mutex> lock(handoff.mutex);
        handoff.error = std::current_exception();
        handoff.changed.notify_all();
      }
    });
  } catch (const std::exception&) {
    return false;
  }
  std::exception_ptr error;
  try {
    RowText mine(kChunkSize + kMaxRowText);
    total = 0;
    for (std::size_t block = 0; block < blocks; ++block) {
      std::size_t begin = 0;
      std::size_t end = 0;
      rowsOf(block, begin, end);
      if (block % 2 == 0) {
        total += AppendRows(mine, &out, selection, begin, end, useLocalTime);
        mine.WriteTo(out);
        mine.Clear();
        continue;
      }
      const std::size_t slot = block / 2 % 2;
      std::unique_lock<std::mutex> lock(handoff.mutex);
      handoff.changed.wait(lock, [&] { return handoff.full[slot] || handoff.error; });
      if (!handoff.full[slot]) std::rethrow_exception(handoff.error);
      lock.unlock();
      handoff.texts[slot]->WriteTo(out);
      total += handoff.metres[slot];
      lock.lock();
      handoff.full[slot] = false;
      handoff.changed.notify_all();
    }
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(handoff.mutex);
    handoff.stop = true;
    handoff.changed.notify_all();
  }
  worker.join();
  if (error) std::rethrow_exception(error);
  return true;
}

}  // namespace

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime) {
  WriteCsv(out, selection, useLocalTime, kCsvTwoPieceMinimumRows);
}

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime, std::size_t twoPieceMinimumRows,
              std::size_t blockRows) {
  out << kCsvHeader << "\r\n";
  std::int64_t total = 0;
  RowText tail(kChunkSize + kMaxRowText);
  if (selection.Size() < twoPieceMinimumRows || selection.Size() < 2 ||
      !WriteRowsOnTwoThreads(out, selection, useLocalTime, std::max<std::size_t>(blockRows, 1), total)) {
    total = AppendRows(tail, &out, selection, 0, selection.Size(), useLocalTime);
  }
  tail.Append("Total distance : ");
  tail.Written(WriteInteger(tail.Room(kMaxIntegerText), total));
  tail.Append(" meters");
  tail.WriteTo(out);
}

}  // namespace quillon
