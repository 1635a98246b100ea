#include "geotag/CameraTime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "logdata/CivilTime.h"
#include "platform/NamedZone.h"
#include "platform/SystemClock.h"

namespace quillon {

namespace {

std::string_view TrimEnd(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  return text;
}

// `count` digits at `at`; nothing when any is not a digit.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
  if (at + count > text.size()) return std::nullopt;
  int value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

constexpr std::int32_t kLargestZoneOffset = 14 * 3600;

}  // namespace

std::optional<CameraTime> ParseExifDateTime(std::string_view dateTime, std::string_view subSeconds) {
  dateTime = TrimEnd(dateTime);
  if (dateTime.size() != 19 || dateTime[4] != ':' || dateTime[7] != ':' || dateTime[10] != ' ' ||
      dateTime[13] != ':' || dateTime[16] != ':') {
    return std::nullopt;
  }
  const auto year = Digits(dateTime, 0, 4), month = Digits(dateTime, 5, 2), day = Digits(dateTime, 8, 2);
  const auto hour = Digits(dateTime, 11, 2), minute = Digits(dateTime, 14, 2), second = Digits(dateTime, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second) return std::nullopt;
  const CivilTime civil{*year, *month, *day, *hour, *minute, *second};
  if (*year == 0 || !IsValidCivilTime(civil)) return std::nullopt;
  CameraTime time{ToEpochSeconds(civil), 0.0};
  subSeconds = TrimEnd(subSeconds);
  double scale = 0.1;
  for (char c : subSeconds) {
    if (c < '0' || c > '9') break;
    time.fraction += (c - '0') * scale;
    scale /= 10;
  }
  return time;
}

std::optional<std::int32_t> ParseUtcOffset(std::string_view text) {
  text = TrimEnd(text);
  if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return std::nullopt;
  const auto hours = Digits(text, 1, 2), minutes = Digits(text, 4, 2);
  if (!hours || !minutes || *minutes > 59) return std::nullopt;
  const std::int32_t seconds = *hours * 3600 + *minutes * 60;
  if (seconds > kLargestZoneOffset) return std::nullopt;
  return text[0] == '-' ? -seconds : seconds;
}

std::optional<CameraZone> CameraZone::Parse(std::string_view text) {
  if (text.empty() || text == "local") return Pc();
  if (text == "UTC" || text == "Z") return Fixed(0);
  if (std::optional<std::int32_t> offset = ParseUtcOffset(text)) return Fixed(*offset);
  if ((text.size() == 3 || text.size() == 5) && (text[0] == '+' || text[0] == '-')) {
    const auto hours = Digits(text, 1, 2);
    const auto minutes = text.size() == 5 ? Digits(text, 3, 2) : std::optional<int>(0);
    if (!hours || !minutes || *minutes > 59) return std::nullopt;
    const std::int32_t seconds = *hours * 3600 + *minutes * 60;
    if (seconds > kLargestZoneOffset) return std::nullopt;
    return Fixed(text[0] == '-' ? -seconds : seconds);
  }
  const std::string name(text);
  if (NamedZoneExists(name)) {
    CameraZone zone;
    zone.name_ = name;
    return zone;
  }
  return std::nullopt;
}

std::optional<std::int64_t> CameraZone::ToUtcSeconds(std::int64_t clockSeconds) const {
  if (fixed_) return clockSeconds - *fixed_;
  if (!name_.empty()) return NamedZoneToUtc(name_, clockSeconds);
  // The offset depends on the instant sought: take the offset in force a day
  // before and a day after, and keep the candidates that convert back to the
  // clock time; the earlier of two, or the one before a skipped hour.
  std::int32_t before = 0, after = 0;
  if (!UtcOffsetAt(clockSeconds - 86400, before) || !UtcOffsetAt(clockSeconds + 86400, after)) return std::nullopt;
  for (std::int32_t offset : {before > after ? before : after, before > after ? after : before}) {
    std::int32_t actual = 0;
    if (UtcOffsetAt(clockSeconds - offset, actual) && actual == offset) return clockSeconds - offset;
  }
  return clockSeconds - before;
}

std::string CameraZone::Describe() const {
  if (!name_.empty()) return name_;
  if (!fixed_) return "the PC's time zone";
  if (*fixed_ == 0) return "UTC";
  const std::int32_t magnitude = *fixed_ < 0 ? -*fixed_ : *fixed_;
  char text[16];
  std::snprintf(text, sizeof text, "%c%02d:%02d", *fixed_ < 0 ? '-' : '+', magnitude / 3600, magnitude / 60 % 60);
  return text;
}

std::string UtcTimeText(double utcSeconds, char separator) {
  const auto milliseconds = static_cast<std::int64_t>(std::llround(utcSeconds * 1000.0));
  const std::int64_t seconds = milliseconds >= 0 ? milliseconds / 1000 : (milliseconds - 999) / 1000;
  const int fraction = static_cast<int>(milliseconds - seconds * 1000);
  const CivilTime civil = FromEpochSeconds(seconds);
  char text[48];
  const int length = std::snprintf(text, sizeof text, "%04lld-%02d-%02d%c%02d:%02d:%02d",
                                   static_cast<long long>(civil.year), civil.month, civil.day, separator,
                                   civil.hour, civil.minute, civil.second);
  if (fraction != 0) std::snprintf(text + length, sizeof text - length, ".%03d", fraction);
  return text;
}

}  // namespace quillon
