#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace quillon {

// A NUL-terminated text of at most N - 1 characters held in place. Assigning a
// longer text keeps its first N - 1 characters: the record's field sizes are
// part of the log format.
template <std::size_t N>
struct FixedText {
  char data[N] = {};

  void Assign(std::string_view text) {
    std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    if (n) std::memcpy(data, text.data(), n);
    data[n] = '\0';
  }
  std::string_view View() const { return std::string_view(data); }
  const char* CStr() const { return data; }
  bool Empty() const { return data[0] == '\0'; }
  static constexpr std::size_t Capacity() { return N - 1; }
};

}  // namespace quillon
