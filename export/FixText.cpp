#include "export/FixText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace quillon {

void AppendInteger(std::string& out, std::int64_t value) {
  char text[24];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value);
  out.append(text, end);
}

void AppendTwoDecimals(std::string& out, double value) {
  // The values a log holds have a few decimals, so value * 100 lies close to
  // a whole number. Below 2^50 the product is off by at most 1/16, and when
  // it is within 1/4 of a whole number, that number is what the exact value
  // rounds to: its digits are the text. Values near a half hundredth, large
  // ones and those that are no number take the exact conversion below.
  const double hundredths = value * 100.0;
  if (std::fabs(hundredths) < 1e15) {
    const double nearest = std::nearbyint(hundredths);
    if (std::fabs(hundredths - nearest) < 0.25) {
      auto whole = static_cast<std::uint64_t>(std::fabs(nearest));
      char text[24];
      char* first = text + sizeof text;
      for (int digit = 0; digit < 2; ++digit, whole /= 10) *--first = static_cast<char>('0' + whole % 10);
      *--first = '.';
      do {
        *--first = static_cast<char>('0' + whole % 10);
        whole /= 10;
      } while (whole != 0);
      // As printf: a negative value keeps its sign even when it rounds to 0.
      if (std::signbit(value)) *--first = '-';
      out.append(first, text + sizeof text);
      return;
    }
  }
  // Fixed notation of a double may need over 300 digits before the point.
  char text[400];
  auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
  if (ec == std::errc()) out.append(text, end);
}

void AppendDateTime(std::string& out, const FixRecord& r, bool useLocalTime) {
  const int fields[6] = {useLocalTime ? r.localDay : r.utcDay,
                         useLocalTime ? r.localMonth : r.utcMonth,
                         2000 + (useLocalTime ? r.localYear : r.utcYear),
                         useLocalTime ? r.localHour : r.utcHour,
                         useLocalTime ? r.localMinute : r.utcMinute,
                         useLocalTime ? r.localSecond : r.utcSecond};
  static constexpr char kAfter[6] = {'/', '/', ',', ':', ':', ','};
  for (int i = 0; i < 6; ++i) {
    AppendInteger(out, fields[i]);
    out += kAfter[i];
  }
}

std::int64_t KnotsToKilometresPerHour(std::int32_t knots) {
  // 1 knot is exactly 1.852 km/h; integer arithmetic keeps the halves exact.
  std::int64_t metresPerHour = std::int64_t{knots} * 1852;
  return metresPerHour >= 0 ? (metresPerHour + 500) / 1000 : -((-metresPerHour + 500) / 1000);
}

}  // namespace quillon
