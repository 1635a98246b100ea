#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillon {

// A photo's time as the camera's clock showed it: whole seconds of that clock
// since 1970-01-01 00:00, and the fraction of the second.
struct CameraTime {
  std::int64_t clockSeconds = 0;
  double fraction = 0.0;
};

// The fields of a photo's EXIF block that tell when it was taken, as the
// camera wrote them (blank where it wrote none).
struct PhotoTimeFields {
  std::string dateTimeOriginal;
  std::string subSecTimeOriginal;
  std::string offsetTimeOriginal;
};

// EXIF DateTimeOriginal ("YYYY:MM:DD HH:MM:SS", trailing blanks and NULs
// allowed) with SubSecTimeOriginal (digits; blank when the camera wrote
// none). Nothing for a blank, zero ("0000:00:00 00:00:00") or impossible time.
std::optional<CameraTime> ParseExifDateTime(std::string_view dateTime, std::string_view subSeconds = {});

// An offset from UTC as EXIF OffsetTimeOriginal writes it, "+HH:MM" or
// "-HH:MM", in seconds east of UTC; nothing for any other text.
std::optional<std::int32_t> ParseUtcOffset(std::string_view text);

// A UTC instant (seconds since 1970, with a fraction) as
// "YYYY-MM-DD<separator>HH:MM:SS", with ".mmm" where the time has a fraction
// of a second (rounded to the millisecond).
std::string UtcTimeText(double utcSeconds, char separator);

// The time zone a camera's clock was set to, for photos that do not carry
// their offset: the PC's own zone (daylight saving taken at the photo's
// date), UTC, a fixed offset, or a zone by name (its daylight saving taken
// at the photo's date too).
class CameraZone {
 public:
  // "" or "local": the PC's zone; "UTC" or "Z"; "+HH:MM", "-HH:MM", "+HHMM"
  // or "+HH"; a zone's name as the system knows it ("Europe/Berlin" on
  // Linux, "W. Europe Standard Time" on Windows). Nothing for any other text.
  static std::optional<CameraZone> Parse(std::string_view text);
  static CameraZone Pc() { return CameraZone(); }
  static CameraZone Fixed(std::int32_t secondsEast) { return CameraZone(secondsEast); }

  // The UTC instant (seconds since 1970) at which this zone's clock showed
  // `clockSeconds`. Where a daylight-saving change makes a local time occur
  // twice, the earlier instant; where it skips one, the offset before the gap.
  std::optional<std::int64_t> ToUtcSeconds(std::int64_t clockSeconds) const;

  std::string Describe() const;

 private:
  CameraZone() = default;
  explicit CameraZone(std::int32_t secondsEast) : fixed_(secondsEast) {}
  std::optional<std::int32_t> fixed_;
  // A zone by name, when not empty.
  std::string name_;
};

}  // namespace quillon
