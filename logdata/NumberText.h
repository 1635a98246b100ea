#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace quillon {

// Every number this program reads from text goes through the pieces below:
// blanks of a chosen set, an optional sign, a run of decimal digits whose
// value is held at a cap. The readers differ only in which blanks they allow,
// whether the digits must end the text, and what a missing or huge number
// becomes. The integer readers are inline: the parser calls them several
// times per sentence.

namespace number_text {

// The blank sets of the readers: the C library's white space, the two
// characters an edit field's number may be padded with, and the plain space
// before a degree text.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
inline constexpr std::string_view kSpaceAndTab = " \t";
inline constexpr std::string_view kSpace = " ";

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain loop: the sets are a few characters long, and a library search
// per character would cost more than the comparisons.
inline bool IsOneOf(char c, std::string_view set) {
  for (char member : set) {
    if (c == member) return true;
  }
  return false;
}

inline void SkipBlanks(std::string_view& text, std::string_view blanks) {
  std::size_t i = 0;
  while (i < text.size() && IsOneOf(text[i], blanks)) ++i;
  text.remove_prefix(i);
}

// Removes a leading '+' or '-'; returns true for a minus sign.
inline bool TakeSign(std::string_view& text) {
  if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
  const bool negative = text.front() == '-';
  text.remove_prefix(1);
  return negative;
}

// Removes and returns the run of digits at the start of text.
inline std::string_view TakeDigits(std::string_view& text) {
  std::size_t i = 0;
  while (i < text.size() && IsDigit(text[i])) ++i;
  std::string_view digits = text.substr(0, i);
  text.remove_prefix(i);
  return digits;
}

// The value of a run of digits, held at cap however long the run.
inline std::uint64_t DigitsValue(std::string_view digits, std::uint64_t cap) {
  std::uint64_t value = 0;
  for (char c : digits) {
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (cap - digit) / 10) return cap;
    value = value * 10 + digit;
  }
  return value;
}

// Skips leading white space and a sign; returns true for a minus sign.
inline bool SkipBlanksAndSign(std::string_view& text) {
  SkipBlanks(text, kWhiteSpace);
  return TakeSign(text);
}

// A signed value of the given magnitude, held to [min, max] of T.
template <typename T>
T Signed(bool negative, std::uint64_t magnitude) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<T>::max());
  if (!negative) return static_cast<T>(magnitude > kMax ? kMax : magnitude);
  if (magnitude > kMax) return std::numeric_limits<T>::min();
  return static_cast<T>(-static_cast<T>(magnitude));
}

}  // namespace number_text

// Leading-digits readers: leading white space and a sign are accepted,
// reading stops at the first character that does not belong to the number,
// and text without digits reads as 0.

// Decimal integer, held to the 32-bit range.
inline std::int32_t LeadingInt(std::string_view text) {
  // Most numbers of a log start with their first digit.
  if (!text.empty() && number_text::IsDigit(text[0])) {
    return number_text::Signed<std::int32_t>(false, number_text::DigitsValue(number_text::TakeDigits(text),
                                                                             std::uint64_t{1} << 32));
  }
  const bool negative = number_text::SkipBlanksAndSign(text);
  return number_text::Signed<std::int32_t>(negative, number_text::DigitsValue(number_text::TakeDigits(text),
                                                                              std::uint64_t{1} << 32));
}

// Decimal integer, held to the 64-bit range.
std::int64_t LeadingInt64(std::string_view text);

// Unsigned decimal digits only (no blanks, no sign), held to the 32-bit
// unsigned range.
std::uint32_t LeadingUnsigned(std::string_view text);

// Decimal floating-point number; independent of the process locale.
double LeadingDouble(std::string_view text);

// A text that is one decimal integer and nothing else, but for blanks of the
// given set around it: its value, with a magnitude held at 2^32 so that a
// number beyond the 32-bit range stays beyond it. Nothing for any other text
// (empty, a lone sign, letters, two numbers).
std::optional<std::int64_t> WholeNumber(std::string_view text, std::string_view blanks);

}  // namespace quillon
