#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <new>
#include <type_traits>
#include <utility>

#include "core/FixRecord.h"
#include "platform/MemoryAdvice.h"

namespace quillon {

// A record in which every byte is zero is a record as FixRecord{} makes it,
// so a block of zero bytes holds cleared records without anything written.
static_assert(std::is_trivially_copyable_v<FixRecord>);

// Records in one contiguous block, as a vector holds them, in memory that
// comes from the system zero-filled. Records that were never written are
// still those zero bytes, so growing into them writes nothing: a parse that
// makes room for a full logger memory (some 35 MB of records) leaves the
// memory untouched until each of its threads fills its own part, and the
// system clears a page only when it is first written, by whoever writes it.
class RecordBlock {
 public:
  using value_type = FixRecord;
  using iterator = FixRecord*;
  using const_iterator = const FixRecord*;

  RecordBlock() = default;
  RecordBlock(const RecordBlock& other) { CopyFrom(other); }
  RecordBlock(RecordBlock&& other) noexcept { Take(other); }
  RecordBlock& operator=(const RecordBlock& other) {
    if (this != &other) {
      RecordBlock copy(other);
      Release();
      Take(copy);
    }
    return *this;
  }
  RecordBlock& operator=(RecordBlock&& other) noexcept {
    if (this != &other) {
      Release();
      Take(other);
    }
    return *this;
  }
  ~RecordBlock() { Release(); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  std::size_t capacity() const { return capacity_; }
  FixRecord* data() { return data_; }
  const FixRecord* data() const { return data_; }
  FixRecord& operator[](std::size_t i) { return data_[i]; }
  const FixRecord& operator[](std::size_t i) const { return data_[i]; }
  iterator begin() { return data_; }
  iterator end() { return data_ + size_; }
  const_iterator begin() const { return data_; }
  const_iterator end() const { return data_ + size_; }

  // Room for n records; throws std::bad_alloc when there is no memory.
  void reserve(std::size_t n) {
    if (n <= capacity_) return;
    if (n > kMostRecords) throw std::bad_alloc();
    auto* data = static_cast<FixRecord*>(std::calloc(n, sizeof(FixRecord)));
    if (data == nullptr) throw std::bad_alloc();
    PreferHugePages(data, n * sizeof(FixRecord));
    if (size_ > 0) std::memcpy(static_cast<void*>(data), data_, size_ * sizeof(FixRecord));
    std::free(data_);
    data_ = data;
    capacity_ = n;
    zeroFrom_ = size_;
  }
  // Grows with cleared records or drops records from the end.
  void resize(std::size_t n) {
    reserve(n);
    if (n > size_ && size_ < zeroFrom_) {
      const std::size_t written = (n < zeroFrom_ ? n : zeroFrom_) - size_;
      std::memset(static_cast<void*>(data_ + size_), 0, written * sizeof(FixRecord));
    }
    size_ = n;
    if (zeroFrom_ < n) zeroFrom_ = n;
  }
  // Grows or shrinks to n records without clearing: records past the old
  // size hold whatever was there before, for a caller that writes each
  // record before it reads it.
  // It grows by half again at least, so that sizes that only creep up (a
  // block reused for pieces of about one size) seldom move the records.
  void ResizeForOverwrite(std::size_t n) {
    if (n > capacity_) reserve(n > kMostRecords - capacity_ / 2 ? n : std::max(n, capacity_ + capacity_ / 2));
    size_ = n;
    if (zeroFrom_ < n) zeroFrom_ = n;
  }
  void push_back(const FixRecord& record) {
    if (size_ == capacity_) reserve(capacity_ < 8 ? 8 : capacity_ * 2);
    data_[size_++] = record;
    if (zeroFrom_ < size_) zeroFrom_ = size_;
  }
  void clear() { size_ = 0; }

 private:
  static constexpr std::size_t kMostRecords = static_cast<std::size_t>(-1) / sizeof(FixRecord);

  void CopyFrom(const RecordBlock& other) {
    reserve(other.size_);
    if (other.size_ > 0) std::memcpy(static_cast<void*>(data_), other.data_, other.size_ * sizeof(FixRecord));
    size_ = other.size_;
    zeroFrom_ = size_;
  }
  void Take(RecordBlock& other) noexcept {
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    zeroFrom_ = std::exchange(other.zeroFrom_, 0);
  }
  void Release() noexcept {
    std::free(data_);
    data_ = nullptr;
    size_ = capacity_ = zeroFrom_ = 0;
  }

  FixRecord* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  // Records from here to capacity_ have never been written: zero bytes.
  std::size_t zeroFrom_ = 0;
};

}  // namespace quillon
