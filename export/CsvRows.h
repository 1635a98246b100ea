#pragma once

// The rows of the CSV table, shared by the table of a selection and the
// table made straight from a raw log.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string_view>

#include "core/FixRecord.h"
#include "core/FixedText.h"
#include "export/FixText.h"

namespace quillon {

struct SignedPosition {
  std::int32_t latitude;
  std::int32_t longitude;
};

// The signed micro-degrees of the record's position, as distances use them.
SignedPosition PositionOf(const FixRecord& r);

// The whole metres from one row's position to the next one's.
std::int64_t MetresBetween(const SignedPosition& from, const SignedPosition& to);

// The most characters WriteLogCell puts down for a text of `length`: quotes,
// apostrophe, sign and every character doubled.
constexpr std::size_t MaxLogCell(std::size_t length) { return 4 + 2 * length; }

// The most characters one row can take.
constexpr std::size_t kMaxRowText = 2 * MaxLogCell(FixedText<15>::Capacity()) + 3 * kMaxIntegerText +
                                    MaxLogCell(FixedText<10>::Capacity()) + 2 * kMaxTwoDecimalsText +
                                    kMaxDateTimeText + 8;

// One stream write per row would cost more than the row's text.
constexpr std::size_t kChunkSize = 1 << 16;

// The cells of the record's row up to and with the comma before its metres;
// returns the end of what it wrote, at most kMaxRowText characters.
char* WriteRowCells(char* at, const FixRecord& r, bool useLocalTime);

// The metres that end a row, and the line end.
inline char* EndRow(char* at, std::int64_t metres) {
  at = WriteInteger(at, metres);
  *at++ = '\n';
  return at;
}

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
  std::string_view View() const { return {data_.get(), size_}; }
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

// The table's last line, "Total distance : <metres> meters", with no line end.
void WriteCsvTotal(RowText& out, std::int64_t metres);

}  // namespace quillon
