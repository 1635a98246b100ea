#include "logdata/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillon {

using number_text::IsDigit;
using number_text::SkipBlanksAndSign;

std::uint8_t LeadingIntLow8(std::string_view text) {
  bool negative = SkipBlanksAndSign(text);
  // Arithmetic modulo 2^64 keeps the low 8 bits exact however long the number.
  std::uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (negative) value = ~value + 1;
  return static_cast<std::uint8_t>(value);
}

std::uint32_t LeadingUnsigned(std::string_view text) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kMax) return static_cast<std::uint32_t>(kMax);
  }
  return static_cast<std::uint32_t>(value);
}

double LeadingDouble(std::string_view text) {
  bool negative = SkipBlanksAndSign(text);
  if (text.empty() || !(IsDigit(text[0]) || (text[0] == '.' && text.size() > 1 && IsDigit(text[1])))) return 0.0;
  double value = 0.0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too large reads as infinity, too small as zero, as the C library does.
    std::string_view used(text.data(), static_cast<std::size_t>(end - text.data()));
    bool tiny = used.find("e-") != std::string_view::npos || used.find("E-") != std::string_view::npos;
    value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
  } else if (ec != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace quillon
