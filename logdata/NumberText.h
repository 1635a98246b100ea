#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

namespace quillon {

// Numbers read from log text by the leading-digits rule: leading blanks and
// a sign are accepted, reading stops at the first character that does not
// belong to the number, and text without digits reads as 0. The integer
// readers are inline: the parser calls them several times per sentence.

namespace number_text {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Skips leading blanks and a sign; returns true for a minus sign.
inline bool SkipBlanksAndSign(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  text.remove_prefix(i);
  return negative;
}

}  // namespace number_text

// Decimal integer, held to the 32-bit range.
inline std::int32_t LeadingInt(std::string_view text) {
  bool negative = number_text::SkipBlanksAndSign(text);
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t value = 0;
  for (char c : text) {
    if (!number_text::IsDigit(c)) break;
    if (value < kLimit) value = value * 10 + (c - '0');
  }
  if (value > kLimit) value = kLimit;
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value == kLimit ? kLimit - 1 : value);
}

// Decimal integer, its low 8 bits exactly (tag numbers keep only those).
std::uint8_t LeadingIntLow8(std::string_view text);

// Unsigned decimal digits only, held to the 32-bit unsigned range.
std::uint32_t LeadingUnsigned(std::string_view text);

// Decimal floating-point number; independent of the process locale.
double LeadingDouble(std::string_view text);

}  // namespace quillon
