#include "logdata/CheckedFix.h"

#include <charconv>
#include <string_view>

#include "logdata/CivilTime.h"

namespace quillon {

namespace {

constexpr std::int64_t kMicro = 1000000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "25.052056", "121.5", ".5" or "7" as micro-degrees; nothing for any other
// shape. At most three whole digits, since no coordinate needs more.
std::optional<std::int64_t> ReadDegrees(std::string_view text) {
  std::size_t i = 0;
  std::int64_t whole = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (i >= 3) return std::nullopt;
    whole = whole * 10 + (text[i] - '0');
  }
  const std::size_t wholeDigits = i;
  std::int64_t fraction = 0;
  std::size_t decimals = 0;
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++decimals) {
      if (decimals >= 6) return std::nullopt;
      fraction = fraction * 10 + (text[i] - '0');
    }
  }
  if (i != text.size() || wholeDigits + decimals == 0) return std::nullopt;
  for (; decimals < 6; ++decimals) fraction *= 10;
  return whole * kMicro + fraction;
}

std::optional<std::int64_t> Seconds(int year, int month, int day, int hour, int minute, int second) {
  const CivilTime time{2000 + year, month, day, hour, minute, second};
  if (!IsValidCivilTime(time)) return std::nullopt;
  return ToEpochSeconds(time);
}

// The logged ddmm.mmmm text is a plain unsigned number; anything else in it
// (signs, damaged bytes) would still give the degree conversion some digits.
bool IsPlainNumber(std::string_view text) {
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  const auto allDigits = [](std::string_view part) {
    for (char c : part) {
      if (!IsDigit(c)) return false;
    }
    return true;
  };
  return !whole.empty() && allDigits(whole) && allDigits(fraction);
}

}  // namespace

std::optional<GeoPoint> CheckedPosition(const FixRecord& r) {
  if (!IsPlainNumber(r.latitudeText.View()) || !IsPlainNumber(r.longitudeText.View())) return std::nullopt;
  const auto latitude = ReadDegrees(r.latitudeDegrees.View());
  const auto longitude = ReadDegrees(r.longitudeDegrees.View());
  if (!latitude || !longitude || *latitude > 90 * kMicro || *longitude > 180 * kMicro) return std::nullopt;
  const bool south = r.northSouth == 'S' || r.northSouth == 's';
  const bool west = r.eastWest == 'W' || r.eastWest == 'w';
  std::int64_t lon = west ? -*longitude : *longitude;
  if (lon == 180 * kMicro) lon = -lon;
  return GeoPoint{static_cast<std::int32_t>(south ? -*latitude : *latitude), static_cast<std::int32_t>(lon)};
}

std::optional<std::int64_t> CheckedUtcSeconds(const FixRecord& r) {
  return Seconds(r.utcYear, r.utcMonth, r.utcDay, r.utcHour, r.utcMinute, r.utcSecond);
}

std::optional<std::int64_t> CheckedLocalSeconds(const FixRecord& r) {
  return Seconds(r.localYear, r.localMonth, r.localDay, r.localHour, r.localMinute, r.localSecond);
}

std::optional<double> RmcSpeedKnots(const FixList& list, const FixRecord& record) {
  // $GPRMC,064506.000,A,2503.1234,N,12130.5678,E,0.12,123.45,120308,,,A*6B
  //   0     1          2 3         4 5          6 7
  std::string_view sentence = list.RmcSentence(record);
  for (int field = 0; field < 7; ++field) {
    const std::size_t comma = sentence.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    sentence.remove_prefix(comma + 1);
  }
  const std::string_view text = sentence.substr(0, sentence.find(','));
  if (text.empty() || !(IsDigit(text[0]) || text[0] == '.')) return std::nullopt;
  double knots = 0.0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), knots, std::chars_format::fixed);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return knots;
}

}  // namespace quillon
