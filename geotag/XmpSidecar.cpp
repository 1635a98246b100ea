#include "geotag/XmpSidecar.h"

#include <filesystem>
#include <system_error>

#include "geotag/ExifFields.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

// The properties Exiv2 makes of the GPS fields WriteGpsFields writes.
constexpr const char* kXmpKeys[] = {
    "Xmp.exif.GPSVersionID", "Xmp.exif.GPSLatitude", "Xmp.exif.GPSLongitude", "Xmp.exif.GPSAltitudeRef",
    "Xmp.exif.GPSAltitude",  "Xmp.exif.GPSTimeStamp", "Xmp.exif.GPSSpeedRef", "Xmp.exif.GPSSpeed",
    "Xmp.exif.GPSTrackRef",  "Xmp.exif.GPSTrack",     "Xmp.exif.GPSMapDatum",
};

bool Has(const Exiv2::XmpData& xmp, const char* key) {
  return xmp.findKey(Exiv2::XmpKey(key)) != xmp.end();
}

}  // namespace

std::string SidecarPathOf(const std::string& photoPath) {
  const std::filesystem::path photo = Utf8Path(photoPath);
  std::filesystem::path withExtension = photo;
  withExtension += ".xmp";
  std::filesystem::path plain = photo;
  plain.replace_extension(".xmp");
  std::error_code ec;
  if (!std::filesystem::exists(plain, ec) && std::filesystem::exists(withExtension, ec)) {
    return Utf8Text(withExtension);
  }
  return Utf8Text(plain);
}

bool HasXmpPosition(const Exiv2::XmpData& xmp) {
  return Has(xmp, "Xmp.exif.GPSLatitude") && Has(xmp, "Xmp.exif.GPSLongitude");
}

void WriteXmpPosition(Exiv2::XmpData& xmp, const TrackPoint& point, double utcSeconds) {
  RemoveXmpPosition(xmp);
  Exiv2::ExifData gps;
  WriteGpsFields(gps, point, utcSeconds);
  Exiv2::copyExifToXmp(gps, xmp);
}

bool RemoveXmpPosition(Exiv2::XmpData& xmp) {
  bool removed = false;
  for (const char* key : kXmpKeys) {
    const auto found = xmp.findKey(Exiv2::XmpKey(key));
    if (found == xmp.end()) continue;
    xmp.erase(found);
    removed = true;
  }
  return removed;
}

}  // namespace quillon
