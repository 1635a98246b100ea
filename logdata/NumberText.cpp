#include "logdata/NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quillon {

using number_text::DigitsValue;
using number_text::IsDigit;
using number_text::SkipBlanksAndSign;
using number_text::TakeDigits;

std::int64_t LeadingInt64(std::string_view text) {
  const bool negative = SkipBlanksAndSign(text);
  return number_text::Signed<std::int64_t>(negative, DigitsValue(TakeDigits(text), std::uint64_t{1} << 63));
}

std::uint32_t LeadingUnsigned(std::string_view text) {
  return static_cast<std::uint32_t>(DigitsValue(TakeDigits(text), std::numeric_limits<std::uint32_t>::max()));
}

std::optional<std::int64_t> WholeNumber(std::string_view text, std::string_view blanks) {
  number_text::SkipBlanks(text, blanks);
  while (!text.empty() && blanks.find(text.back()) != std::string_view::npos) text.remove_suffix(1);
  const bool negative = number_text::TakeSign(text);
  const std::string_view digits = TakeDigits(text);
  if (digits.empty() || !text.empty()) return std::nullopt;
  const auto magnitude = static_cast<std::int64_t>(DigitsValue(digits, std::uint64_t{1} << 32));
  return negative ? -magnitude : magnitude;
}

namespace {

// Plain decimals such as 45.3 or 1.0, the form every log number takes: an
// integer of at most 15 digits divided by an exact power of ten is correctly
// rounded. False for anything else (exponents, long numbers).
bool ReadPlainDecimal(std::string_view text, double& value) {
  static constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  std::uint64_t digits = 0;
  int count = 0;
  int decimals = 0;
  bool afterPoint = false;
  std::size_t i = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      if (++count > 15) return false;
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      decimals += afterPoint;
    } else if (c == '.' && !afterPoint) {
      afterPoint = true;
    } else {
      break;
    }
  }
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) return false;
  value = static_cast<double>(digits) / kPowersOfTen[decimals];
  return true;
}

}  // namespace

double LeadingDouble(std::string_view text) {
  // Most numbers of a log start with their first digit.
  bool negative = !text.empty() && IsDigit(text[0]) ? false : SkipBlanksAndSign(text);
  if (text.empty() || !(IsDigit(text[0]) || (text[0] == '.' && text.size() > 1 && IsDigit(text[1])))) return 0.0;
  double plain = 0.0;
  if (ReadPlainDecimal(text, plain)) return negative ? -plain : plain;
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
