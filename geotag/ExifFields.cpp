#include "geotag/ExifFields.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "logdata/CivilTime.h"

namespace quillon {

namespace {

// Every field this program writes into the GPS block, and so removes.
constexpr const char* kWrittenKeys[] = {
    "Exif.GPSInfo.GPSVersionID",    "Exif.GPSInfo.GPSLatitudeRef",  "Exif.GPSInfo.GPSLatitude",
    "Exif.GPSInfo.GPSLongitudeRef", "Exif.GPSInfo.GPSLongitude",    "Exif.GPSInfo.GPSAltitudeRef",
    "Exif.GPSInfo.GPSAltitude",     "Exif.GPSInfo.GPSTimeStamp",    "Exif.GPSInfo.GPSDateStamp",
    "Exif.GPSInfo.GPSSpeedRef",     "Exif.GPSInfo.GPSSpeed",        "Exif.GPSInfo.GPSTrackRef",
    "Exif.GPSInfo.GPSTrack",        "Exif.GPSInfo.GPSMapDatum",
};

std::string TextOf(const Exiv2::ExifData& exif, const char* key) {
  const auto found = exif.findKey(Exiv2::ExifKey(key));
  return found == exif.end() ? std::string() : found->toString();
}

bool HasAnyGpsField(const Exiv2::ExifData& exif) {
  for (const Exiv2::Exifdatum& datum : exif) {
    if (datum.groupName() == "GPSInfo") return true;
  }
  return false;
}

// Degrees, minutes and seconds of a magnitude in degrees, the seconds in
// 1/10000 s, carried over where rounding makes 60 of them.
std::string DegreesMinutesSeconds(double degrees) {
  constexpr std::int64_t kUnits = 10000;
  std::int64_t units = std::llround(std::fabs(degrees) * 3600.0 * kUnits);
  const std::int64_t whole = units / (3600 * kUnits);
  units -= whole * 3600 * kUnits;
  const std::int64_t minutes = units / (60 * kUnits);
  units -= minutes * 60 * kUnits;
  char text[64];
  std::snprintf(text, sizeof text, "%lld/1 %lld/1 %lld/%lld", static_cast<long long>(whole),
                static_cast<long long>(minutes), static_cast<long long>(units), static_cast<long long>(kUnits));
  return text;
}

// A non-negative value as a rational of hundredths.
std::string Hundredths(double value) {
  char text[48];
  std::snprintf(text, sizeof text, "%lld/100", static_cast<long long>(std::llround(std::fabs(value) * 100.0)));
  return text;
}

bool RemoveKeys(Exiv2::ExifData& exif, bool withVersion) {
  bool removed = false;
  for (const char* key : kWrittenKeys) {
    if (!withVersion && key == kWrittenKeys[0]) continue;
    for (auto found = exif.findKey(Exiv2::ExifKey(key)); found != exif.end();
         found = exif.findKey(Exiv2::ExifKey(key))) {
      exif.erase(found);
      removed = true;
    }
  }
  return removed;
}

void Set(Exiv2::ExifData& exif, const char* key, const std::string& text) { exif[key].setValue(text); }

}  // namespace

PhotoTimeFields ReadPhotoTimeFields(const Exiv2::ExifData& exif) {
  return {TextOf(exif, "Exif.Photo.DateTimeOriginal"), TextOf(exif, "Exif.Photo.SubSecTimeOriginal"),
          TextOf(exif, "Exif.Photo.OffsetTimeOriginal")};
}

bool HasGpsPosition(const Exiv2::ExifData& exif) {
  return exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude")) != exif.end() &&
         exif.findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSLongitude")) != exif.end();
}

void WriteGpsFields(Exiv2::ExifData& exif, const TrackPoint& point, double utcSeconds) {
  // A version the photo states already stays as it is.
  if (!HasAnyGpsField(exif)) Set(exif, "Exif.GPSInfo.GPSVersionID", "2 3 0 0");
  RemoveKeys(exif, false);
  Set(exif, "Exif.GPSInfo.GPSLatitudeRef", point.latitude < 0 ? "S" : "N");
  Set(exif, "Exif.GPSInfo.GPSLatitude", DegreesMinutesSeconds(point.latitude));
  Set(exif, "Exif.GPSInfo.GPSLongitudeRef", point.longitude < 0 ? "W" : "E");
  Set(exif, "Exif.GPSInfo.GPSLongitude", DegreesMinutesSeconds(point.longitude));
  if (point.altitude) {
    Set(exif, "Exif.GPSInfo.GPSAltitudeRef", *point.altitude < 0 ? "1" : "0");
    Set(exif, "Exif.GPSInfo.GPSAltitude", Hundredths(*point.altitude));
  }
  // The time of day in milliseconds, so that a photo taken at 12:59:59.9995
  // does not get the date of one day and the time of the next.
  const auto milliseconds = static_cast<std::int64_t>(std::llround(utcSeconds * 1000.0));
  const std::int64_t seconds = milliseconds >= 0 ? milliseconds / 1000 : (milliseconds - 999) / 1000;
  const CivilTime civil = FromEpochSeconds(seconds);
  char date[16];
  std::snprintf(date, sizeof date, "%04lld:%02d:%02d", static_cast<long long>(civil.year), civil.month, civil.day);
  Set(exif, "Exif.GPSInfo.GPSDateStamp", date);
  char time[64];
  std::snprintf(time, sizeof time, "%d/1 %d/1 %lld/1000", civil.hour, civil.minute,
                static_cast<long long>(civil.second * 1000 + (milliseconds - seconds * 1000)));
  Set(exif, "Exif.GPSInfo.GPSTimeStamp", time);
  if (point.speedKmh) {
    Set(exif, "Exif.GPSInfo.GPSSpeedRef", "K");
    Set(exif, "Exif.GPSInfo.GPSSpeed", Hundredths(*point.speedKmh));
  }
  if (point.course) {
    Set(exif, "Exif.GPSInfo.GPSTrackRef", "T");
    Set(exif, "Exif.GPSInfo.GPSTrack", Hundredths(*point.course));
  }
  Set(exif, "Exif.GPSInfo.GPSMapDatum", "WGS-84");
}

bool RemoveGpsFields(Exiv2::ExifData& exif) { return RemoveKeys(exif, true); }

}  // namespace quillon
