#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <exiv2/exiv2.hpp>

#include "geotag/PhotoGeotag.h"
#include "tests/geotag/CameraPhoto.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::CameraPhoto;
using testing::FujiRawPhoto;
using testing::ReadAll;

// Three fixes five seconds apart, as the logger writes them.
std::vector<TrackPoint> Track() {
  auto point = [](std::int64_t t, double latMinutes, double lonMinutes, double altitude, double kmh, double course) {
    TrackPoint p;
    p.utcSeconds = t;
    p.latitude = 25 + latMinutes / 60;
    p.longitude = -(121 + lonMinutes / 60);
    p.altitude = altitude;
    p.speedKmh = kmh;
    p.course = course;
    return p;
  };
  constexpr std::int64_t kStart = 1204898709;  // 2008-03-07 14:05:09 UTC
  return {point(kStart, 3.1234, 30.5678, 35.6, 18.52, 54.7), point(kStart + 5, 3.1260, 30.5700, 36.1, 11.67, 60.1),
          point(kStart + 10, 3.1380, 30.5760, 36.4, 10.93, 61.0)};
}

Exiv2::ExifData ExifOf(const fs::path& path) {
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.string());
  image->readMetadata();
  return image->exifData();
}

// Every EXIF field outside the GPS block, key and value, as text; the
// offsets of the blocks, which move when a block grows, left out.
std::map<std::string, std::string> NonGpsFields(const Exiv2::ExifData& exif) {
  std::map<std::string, std::string> fields;
  for (const Exiv2::Exifdatum& datum : exif) {
    if (datum.groupName() == "GPSInfo" || datum.key() == "Exif.Image.GPSTag" || datum.key() == "Exif.Image.ExifTag" ||
        datum.key() == "Exif.Image.StripOffsets") {
      continue;
    }
    fields[datum.key()] = datum.toString();
  }
  return fields;
}

bool HasGpsField(const Exiv2::ExifData& exif) {
  for (const Exiv2::Exifdatum& datum : exif) {
    if (datum.groupName() == "GPSInfo") return true;
  }
  return false;
}

double Degrees(const Exiv2::ExifData& exif, const char* key, const char* refKey) {
  const Exiv2::Exifdatum& datum = *exif.findKey(Exiv2::ExifKey(key));
  auto part = [&datum](long n) {
    const Exiv2::Rational r = datum.toRational(n);
    return static_cast<double>(r.first) / r.second;
  };
  const double value = part(0) + part(1) / 60 + part(2) / 3600;
  const std::string ref = exif.findKey(Exiv2::ExifKey(refKey))->toString();
  return ref == "S" || ref == "W" ? -value : value;
}

std::string Field(const Exiv2::ExifData& exif, const char* key) {
  const auto found = exif.findKey(Exiv2::ExifKey(key));
  return found == exif.end() ? "(none)" : found->toString();
}

// The image data, which tagging must leave alone: a JPEG from its scan on,
// the IDAT chunks of a PNG, the strips of a TIFF.
std::string ImageData(const fs::path& path) {
  const std::string bytes = ReadAll(path);
  const std::string ext = path.extension().string();
  if (ext == ".jpg") return bytes.substr(bytes.find("\xFF\xDA"));
  if (ext == ".png") {
    std::string data;
    for (std::size_t at = 8; at + 8 <= bytes.size();) {
      const auto length = (std::uint32_t(std::uint8_t(bytes[at])) << 24) | (std::uint32_t(std::uint8_t(bytes[at + 1])) << 16) |
                          (std::uint32_t(std::uint8_t(bytes[at + 2])) << 8) | std::uint8_t(bytes[at + 3]);
      if (bytes.compare(at + 4, 4, "IDAT") == 0) data += bytes.substr(at + 8, length);
      at += 12 + length;
    }
    return data;
  }
  const Exiv2::ExifData exif = ExifOf(path);
  const auto offset = exif.findKey(Exiv2::ExifKey("Exif.Image.StripOffsets"))->toLong();
  const auto count = exif.findKey(Exiv2::ExifKey("Exif.Image.StripByteCounts"))->toLong();
  return bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(count));
}

class PhotoFormats : public ::testing::TestWithParam<std::string> {};

// Tagging writes the interpolated position and nothing else; the position
// stays unless replaced; removing takes exactly it away again.
TEST_P(PhotoFormats, TagKeepAndRemove) {
  testing::TempFolder folder;
  // 14:05:11.5 UTC, half way between the first two fixes.
  const fs::path photo = CameraPhoto(folder.Path(), "photo" + GetParam(), "2008:03:07 16:05:09", "+02:00");
  const auto before = NonGpsFields(ExifOf(photo));
  const std::string imageBefore = ImageData(photo);
  fs::permissions(photo, fs::perms::owner_read | fs::perms::owner_write);
  GeotagRequest request;
  request.clockOffsetSeconds = 2;

  PhotoOutcome outcome = GeotagPhoto(photo.string(), Track(), request);
  ASSERT_EQ(outcome.kind, PhotoOutcomeKind::kTagged) << outcome.problem;
  EXPECT_EQ(outcome.cameraTimeText, "2008:03:07 16:05:09.50");
  EXPECT_DOUBLE_EQ(*outcome.utcSeconds, 1204898711.5);

  const Exiv2::ExifData tagged = ExifOf(photo);
  const std::vector<TrackPoint> track = Track();
  EXPECT_NEAR(Degrees(tagged, "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef"),
              (track[0].latitude + track[1].latitude) / 2, 1e-8);
  EXPECT_NEAR(Degrees(tagged, "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef"),
              (track[0].longitude + track[1].longitude) / 2, 1e-8);
  const std::map<std::string, std::string> expected = {
      {"Exif.GPSInfo.GPSVersionID", "2 3 0 0"},   {"Exif.GPSInfo.GPSAltitudeRef", "0"},
      {"Exif.GPSInfo.GPSAltitude", "3585/100"},   {"Exif.GPSInfo.GPSDateStamp", "2008:03:07"},
      {"Exif.GPSInfo.GPSTimeStamp", "14/1 5/1 11500/1000"},
      {"Exif.GPSInfo.GPSSpeedRef", "K"},         {"Exif.GPSInfo.GPSSpeed", "1510/100"},
      {"Exif.GPSInfo.GPSTrackRef", "T"},         {"Exif.GPSInfo.GPSTrack", "5740/100"},
      {"Exif.GPSInfo.GPSMapDatum", "WGS-84"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(Field(tagged, key.c_str()), value) << key;
  EXPECT_EQ(NonGpsFields(tagged), before);
  EXPECT_EQ(ImageData(photo), imageBefore);
#ifndef _WIN32
  // Windows keeps no permission bits beyond read-only.
  EXPECT_EQ(fs::status(photo).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
#endif

  // Tagged once, left alone the next time; replaced only when asked.
  const std::string once = ReadAll(photo);
  EXPECT_EQ(GeotagPhoto(photo.string(), Track(), request).kind, PhotoOutcomeKind::kAlreadyHasPosition);
  EXPECT_EQ(ReadAll(photo), once);
  request.clockOffsetSeconds = 7;
  request.replacePositions = true;
  ASSERT_EQ(GeotagPhoto(photo.string(), Track(), request).kind, PhotoOutcomeKind::kTagged);
  EXPECT_NEAR(Degrees(ExifOf(photo), "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef"),
              (track[1].latitude + track[2].latitude) / 2, 1e-8);

  GeotagRequest remove;
  remove.removePositions = true;
  EXPECT_EQ(GeotagPhoto(photo.string(), Track(), remove).kind, PhotoOutcomeKind::kRemoved);
  const Exiv2::ExifData removed = ExifOf(photo);
  EXPECT_FALSE(HasGpsField(removed));
  EXPECT_EQ(NonGpsFields(removed), before);
  EXPECT_EQ(ImageData(photo), imageBefore);
  EXPECT_EQ(GeotagPhoto(photo.string(), Track(), remove).kind, PhotoOutcomeKind::kNoPosition);
}

INSTANTIATE_TEST_SUITE_P(Geotag, PhotoFormats, ::testing::Values(".jpg", ".png", ".tif"),
                         [](const auto& info) { return info.param.substr(1); });

// A large JPEG keeps every byte from its scan on, wherever its metadata
// ends, and its other segments; only the GPS block is new.
TEST(PhotoGeotag, LargeJpegsKeepTheirImageDataAndSegments) {
  const struct {
    const char* name;
    std::size_t appBytes;
    std::size_t trailerBytes;
  } kCases[] = {
      {"image data past the first read", 0, 3u << 20},
      {"metadata past the first read", 300000, 1u << 20},
      {"both small", 5000, 10000},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    testing::TempFolder folder;
    const fs::path photo = testing::LargeCameraPhoto(folder.Path(), "large.jpg", c.appBytes, c.trailerBytes);
    const std::string before = ReadAll(photo);
    const auto fieldsBefore = NonGpsFields(ExifOf(photo));
    GeotagRequest request;
    request.clockOffsetSeconds = 2;
    const PhotoOutcome outcome = GeotagPhoto(photo.string(), Track(), request);
    ASSERT_EQ(outcome.kind, PhotoOutcomeKind::kTagged) << outcome.problem;
    const std::string after = ReadAll(photo);
    const std::size_t scanBefore = before.find("\xFF\xDA");
    const std::size_t scanAfter = after.find("\xFF\xDA");
    ASSERT_NE(scanAfter, std::string::npos);
    EXPECT_TRUE(after.compare(scanAfter, std::string::npos, before, scanBefore, std::string::npos) == 0)
        << "the bytes from the scan on changed";
    if (c.appBytes > 0) {
      const std::size_t app2 = before.find("\xFF\xE2");
      EXPECT_NE(after.find(before.substr(app2, c.appBytes + 4 * ((c.appBytes + 59999) / 60000))), std::string::npos)
          << "the APP2 segments changed";
    }
    EXPECT_EQ(Field(ExifOf(photo), "Exif.GPSInfo.GPSMapDatum"), "WGS-84");
    EXPECT_EQ(NonGpsFields(ExifOf(photo)), fieldsBefore);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
  }
}

struct OutcomeCase {
  const char* name;
  // Makes the file in the folder and returns its path.
  fs::path (*make)(const fs::path& folder);
  PhotoOutcomeKind kind;
  const char* text;
};

fs::path Write(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
  return path;
}

const OutcomeCase kOutcomes[] = {
    {"NoTimeTaken", [](const fs::path& f) { return CameraPhoto(f, "a.jpg", ""); }, PhotoOutcomeKind::kNoTimeTaken,
     "no time taken"},
    {"ZeroTime", [](const fs::path& f) { return CameraPhoto(f, "a.jpg", "0000:00:00 00:00:00"); },
     PhotoOutcomeKind::kNoTimeTaken, "no time taken"},
    {"LongAfterTheTrack", [](const fs::path& f) { return CameraPhoto(f, "a.jpg", "2008:03:07 14:35:20"); },
     PhotoOutcomeKind::kOutsideTrack, "outside the track"},
    {"TextFile", [](const fs::path& f) { return Write(f / "notes.txt", "a day at the lake\n"); },
     PhotoOutcomeKind::kNotAPhoto, "not a photo"},
    {"TextNamedAsPhoto", [](const fs::path& f) { return Write(f / "b.jpg", "a day at the lake\n"); },
     PhotoOutcomeKind::kFailed, "cannot read it as a photo: it is damaged or of no image format known here"},
    {"TruncatedJpeg",
     [](const fs::path& f) {
       const std::string whole = ReadAll(CameraPhoto(f, "c.jpg", "2008:03:07 14:05:11"));
       return Write(f / "c.jpg", whole.substr(0, 40));
     },
     PhotoOutcomeKind::kFailed, nullptr},
    {"Vanished", [](const fs::path& f) { return f / "gone.jpg"; }, PhotoOutcomeKind::kFailed,
     "cannot read it: no such file"},
    {"Folder",
     [](const fs::path& f) {
       fs::create_directory(f / "d.jpg");
       return f / "d.jpg";
     },
     PhotoOutcomeKind::kFailed, "cannot read it: it is a folder"},
};

class PhotoOutcomes : public ::testing::TestWithParam<OutcomeCase> {};

// Photos that cannot be tagged are said so, and stay as they were.
TEST_P(PhotoOutcomes, AreReportedAndLeaveThePhotoAsItWas) {
  testing::TempFolder folder;
  const fs::path photo = GetParam().make(folder.Path());
  std::error_code ec;
  const std::string before = fs::is_regular_file(photo, ec) ? ReadAll(photo) : "";
  const PhotoOutcome outcome = GeotagPhoto(photo.string(), Track(), GeotagRequest());
  EXPECT_EQ(outcome.kind, GetParam().kind) << OutcomeText(outcome, false);
  if (GetParam().text) {
    EXPECT_EQ(OutcomeText(outcome, false), GetParam().text);
  }
  if (!before.empty()) {
    EXPECT_EQ(ReadAll(photo), before);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), photo.filename() == "gone.jpg" ? 0 : 1)
      << "a temporary file stayed behind";
}

INSTANTIATE_TEST_SUITE_P(Geotag, PhotoOutcomes, ::testing::ValuesIn(kOutcomes),
                         [](const auto& info) { return std::string(info.param.name); });

// A dry run decides as a real one and writes nothing.
TEST(PhotoGeotag, DryRunChangesNothing) {
  testing::TempFolder folder;
  const fs::path photo = CameraPhoto(folder.Path(), "a.jpg", "2008:03:07 14:05:11");
  const std::string before = ReadAll(photo);
  GeotagRequest request;
  request.dryRun = true;
  const PhotoOutcome outcome = GeotagPhoto(photo.string(), Track(), request);
  EXPECT_EQ(OutcomeText(outcome, true), "to be tagged");
  ASSERT_TRUE(outcome.position);
  EXPECT_EQ(ReadAll(photo), before);
}

Exiv2::XmpData XmpOf(const fs::path& path) {
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(path.string());
  image->readMetadata();
  return image->xmpData();
}

std::string Property(const Exiv2::XmpData& xmp, const char* key) {
  const auto found = xmp.findKey(Exiv2::XmpKey(key));
  return found == xmp.end() ? "(none)" : found->toString();
}

// A photo Exiv2 cannot write gets its position in a sidecar beside it, the
// photo untouched; the sidecar's other properties stay, and removing takes
// away the position alone.
TEST(PhotoGeotag, ReadOnlyFormatsGetASidecar) {
  testing::TempFolder folder;
  const fs::path photo = FujiRawPhoto(folder.Path(), "DSCF0001.RAF", "2008:03:07 14:05:11");
  const std::string raw = ReadAll(photo);
  const fs::path sidecar = folder.Path() / "DSCF0001.xmp";

  const PhotoOutcome outcome = GeotagPhoto(photo.string(), Track(), GeotagRequest());
  ASSERT_EQ(outcome.kind, PhotoOutcomeKind::kSidecar) << outcome.problem;
  EXPECT_EQ(OutcomeText(outcome, false), "sidecar");
  EXPECT_EQ(outcome.cameraTimeText, "2008:03:07 14:05:11.50");
  EXPECT_EQ(ReadAll(photo), raw);
  const Exiv2::XmpData xmp = XmpOf(sidecar);
  const std::map<std::string, std::string> expected = {
      {"Xmp.exif.GPSLatitude", "25,3.1247000N"},   {"Xmp.exif.GPSLongitude", "121,30.5689000W"},
      {"Xmp.exif.GPSAltitude", "3585/100"},         {"Xmp.exif.GPSAltitudeRef", "0"},
      {"Xmp.exif.GPSTimeStamp", "2008-03-07T14:05:11.500000000"}, {"Xmp.exif.GPSMapDatum", "WGS-84"},
      {"Xmp.exif.GPSSpeedRef", "K"},                {"Xmp.exif.GPSTrackRef", "T"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(Property(xmp, key.c_str()), value) << key;

  // A sidecar of its own making is kept and added to; the position in it
  // counts as the photo's.
  {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(sidecar.string());
    image->readMetadata();
    image->xmpData()["Xmp.dc.subject"] = "lake";
    image->writeMetadata();
  }
  EXPECT_EQ(GeotagPhoto(photo.string(), Track(), GeotagRequest()).kind, PhotoOutcomeKind::kAlreadyHasPosition);
  GeotagRequest remove;
  remove.removePositions = true;
  EXPECT_EQ(GeotagPhoto(photo.string(), Track(), remove).kind, PhotoOutcomeKind::kRemoved);
  const Exiv2::XmpData removed = XmpOf(sidecar);
  EXPECT_EQ(Property(removed, "Xmp.dc.subject"), "lake");
  for (const Exiv2::Xmpdatum& datum : removed) EXPECT_NE(datum.key().rfind("Xmp.exif.GPS", 0), 0u) << datum.key();
  EXPECT_EQ(ReadAll(photo), raw);

  // Only NAME.EXT.xmp there: that one is the sidecar. One that is no XMP is
  // reported and left as it is.
  fs::remove(sidecar);
  const fs::path longName = folder.Path() / "DSCF0001.RAF.xmp";
  fs::copy_file(testing::kPhotos / "plain.png", longName);
  const std::string notXmp = ReadAll(longName);
  const PhotoOutcome refused = GeotagPhoto(photo.string(), Track(), GeotagRequest());
  EXPECT_EQ(OutcomeText(refused, false), "cannot read its sidecar DSCF0001.RAF.xmp: it is no XMP file");
  EXPECT_EQ(ReadAll(longName), notXmp);
  fs::remove(longName);
  {
    Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::create(Exiv2::ImageType::xmp, longName.string());
    image->xmpData()["Xmp.dc.subject"] = "shore";
    image->writeMetadata();
  }
  EXPECT_EQ(GeotagPhoto(photo.string(), Track(), GeotagRequest()).kind, PhotoOutcomeKind::kSidecar);
  EXPECT_FALSE(fs::exists(sidecar));
  EXPECT_EQ(Property(XmpOf(longName), "Xmp.exif.GPSLatitude"), "25,3.1247000N");
  EXPECT_EQ(Property(XmpOf(longName), "Xmp.dc.subject"), "shore");
}

}  // namespace
}  // namespace quillon
