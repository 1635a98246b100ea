#include "export/FixText.h"

#include <charconv>
#include <cmath>

namespace quillon {

namespace {

// How many decimal digits `value` has (1 for 0).
std::size_t DigitCount(std::uint64_t value) {
  std::size_t count = 1;
  for (; value >= 10000; value /= 10000) count += 4;
  if (value >= 1000) return count + 3;
  if (value >= 100) return count + 2;
  return value >= 10 ? count + 1 : count;
}

// The decimal digits of `value` at `at`, written from the last one back, so
// that no digit is copied afterwards; returns their end.
char* WriteDigits(char* at, std::uint64_t value) {
  char* const end = at + DigitCount(value);
  char* digit = end;
  do {
    *--digit = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return end;
}

// A number below 100 without a leading zero; the date and time fields are.
char* WriteSmall(char* at, unsigned value) {
  if (value >= 10) *at++ = static_cast<char>('0' + value / 10);
  *at++ = static_cast<char>('0' + value % 10);
  return at;
}

// A number from 1000 to 9999: the years of every real fix.
char* WriteFourDigits(char* at, unsigned value) {
  at[0] = static_cast<char>('0' + value / 1000);
  at[1] = static_cast<char>('0' + value / 100 % 10);
  at[2] = static_cast<char>('0' + value / 10 % 10);
  at[3] = static_cast<char>('0' + value % 10);
  return at + 4;
}

}  // namespace

char* WriteInteger(char* at, std::int64_t value) {
  // The magnitude in unsigned arithmetic, so that the most negative value has one.
  std::uint64_t magnitude = static_cast<std::uint64_t>(value);
  if (value < 0) {
    *at++ = '-';
    magnitude = 0 - magnitude;
  }
  return WriteDigits(at, magnitude);
}

void AppendInteger(std::string& out, std::int64_t value) {
  char text[kMaxIntegerText + 1];
  out.append(text, static_cast<std::size_t>(WriteInteger(text, value) - text));
}

char* WriteTwoDecimals(char* at, double value) {
  // The values a log holds have a few decimals, so value * 100 lies close to
  // a whole number. Below 2^50 the product is off by at most 1/16, and when
  // it is within 1/4 of a whole number, that number is what the exact value
  // rounds to: its digits are the text. Values near a half hundredth, large
  // ones and those that are no number take the exact conversion below.
  const double hundredths = value * 100.0;
  if (std::fabs(hundredths) < 1e15) {
    // The whole number nearest to it (how a tie would round does not matter:
    // a tie is no shortcut).
    const auto nearest = static_cast<std::int64_t>(hundredths + (hundredths < 0 ? -0.5 : 0.5));
    if (std::fabs(hundredths - static_cast<double>(nearest)) < 0.25) {
      auto whole = static_cast<std::uint64_t>(nearest < 0 ? -nearest : nearest);
      // As printf: a negative value keeps its sign even when it rounds to 0.
      if (std::signbit(value)) *at++ = '-';
      at = WriteDigits(at, whole / 100);
      const auto cents = static_cast<unsigned>(whole % 100);
      at[0] = '.';
      at[1] = static_cast<char>('0' + cents / 10);
      at[2] = static_cast<char>('0' + cents % 10);
      return at + 3;
    }
  }
  // Fixed notation of a double may need over 300 digits before the point.
  auto [end, ec] = std::to_chars(at, at + kMaxTwoDecimalsText, value, std::chars_format::fixed, 2);
  return ec == std::errc() ? end : at;
}

void AppendTwoDecimals(std::string& out, double value) {
  char text[kMaxTwoDecimalsText];
  out.append(text, static_cast<std::size_t>(WriteTwoDecimals(text, value) - text));
}

char* WriteDateTime(char* at, const FixRecord& r, bool useLocalTime) {
  // Every field but the year is a byte that a valid record holds below 100;
  // a larger one (a damaged record) takes the general form.
  const unsigned fields[6] = {useLocalTime ? r.localDay : r.utcDay,
                              useLocalTime ? r.localMonth : r.utcMonth,
                              0,
                              useLocalTime ? r.localHour : r.utcHour,
                              useLocalTime ? r.localMinute : r.utcMinute,
                              useLocalTime ? r.localSecond : r.utcSecond};
  const std::int64_t year = 2000 + (useLocalTime ? r.localYear : r.utcYear);
  static constexpr char kAfter[6] = {'/', '/', ',', ':', ':', ','};
  for (int i = 0; i < 6; ++i) {
    if (i == 2) {
      at = year >= 1000 && year <= 9999 ? WriteFourDigits(at, static_cast<unsigned>(year)) : WriteInteger(at, year);
    } else if (fields[i] < 100) {
      at = WriteSmall(at, fields[i]);
    } else {
      at = WriteInteger(at, fields[i]);
    }
    *at++ = kAfter[i];
  }
  return at;
}

void AppendDateTime(std::string& out, const FixRecord& r, bool useLocalTime) {
  char text[kMaxDateTimeText];
  out.append(text, static_cast<std::size_t>(WriteDateTime(text, r, useLocalTime) - text));
}

std::int64_t KnotsToKilometresPerHour(std::int32_t knots) {
  // 1 knot is exactly 1.852 km/h; integer arithmetic keeps the halves exact.
  std::int64_t metresPerHour = std::int64_t{knots} * 1852;
  return metresPerHour >= 0 ? (metresPerHour + 500) / 1000 : -((-metresPerHour + 500) / 1000);
}

}  // namespace quillon
