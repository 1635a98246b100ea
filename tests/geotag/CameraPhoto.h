#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <cstdint>
#include <string>

#include <exiv2/exiv2.hpp>

namespace quillon::testing {

inline const std::filesystem::path kPhotos = std::filesystem::path(QUILLON_TEST_DATA_DIR) / "photos";

inline std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A copy of a plain image with the fields a camera writes.
inline std::filesystem::path CameraPhoto(const std::filesystem::path& folder, const std::string& name, const std::string& dateTime,
                     const std::string& offset = "+00:00") {
  const std::filesystem::path photo = folder / name;
  std::filesystem::copy_file(kPhotos / ("plain" + std::filesystem::path(name).extension().string()), photo);
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(photo.string());
  image->readMetadata();
  Exiv2::ExifData& exif = image->exifData();
  exif["Exif.Image.Make"] = "Quillon Test";
  exif["Exif.Image.Model"] = "Pocket Camera 7";
  exif["Exif.Photo.UserComment"] = "charset=Ascii lake shore";
  exif["Exif.Photo.ExposureTime"] = Exiv2::URational(1, 250);
  if (!dateTime.empty()) {
    exif["Exif.Photo.DateTimeOriginal"] = dateTime;
    exif["Exif.Photo.SubSecTimeOriginal"] = "50";
  }
  if (!offset.empty()) exif["Exif.Photo.OffsetTimeOriginal"] = offset;
  image->writeMetadata();
  return photo;
}

// A camera JPEG (taken at 14:05:09 UTC) grown to the size of a real one:
// `appBytes` of APP2 segments (a colour profile, say) before its scan and
// `trailerBytes` after its end (previews), none of which holds a marker.
inline std::filesystem::path LargeCameraPhoto(const std::filesystem::path& folder, const std::string& name,
                                              std::size_t appBytes, std::size_t trailerBytes) {
  const std::filesystem::path photo = CameraPhoto(folder, name, "2008:03:07 16:05:09", "+02:00");
  const std::string small = ReadAll(photo);
  std::string segments;
  for (std::size_t left = appBytes; left > 0;) {
    const std::size_t payload = left < 60000 ? left : 60000;
    segments += std::string("\xFF\xE2", 2) + char((payload + 2) >> 8) + char((payload + 2) & 0xFF);
    for (std::size_t i = 0; i < payload; ++i) segments += char(0x20 + (i * 7 + left) % 0xC0);
    left -= payload;
  }
  std::string trailer(trailerBytes, '\0');
  for (std::size_t i = 0; i < trailerBytes; ++i) trailer[i] = char((i * 2654435761u) >> 13);
  std::ofstream(photo, std::ios::binary | std::ios::trunc) << small.substr(0, 2) + segments + small.substr(2) + trailer;
  return photo;
}

// A Fujifilm raw file as Exiv2 reads it, which it cannot write: its header,
// and the camera's EXIF block (that of a CameraPhoto) where the header says
// the preview and the raw data's tags lie.
inline std::filesystem::path FujiRawPhoto(const std::filesystem::path& folder, const std::string& name,
                                          const std::string& dateTime) {
  const std::filesystem::path jpeg = CameraPhoto(folder, name + ".jpg", dateTime);
  const std::string bytes = ReadAll(jpeg);
  std::filesystem::remove(jpeg);
  const std::size_t app1 = bytes.find("Exif\0\0", 0, 6);
  const std::size_t length = (std::size_t(std::uint8_t(bytes[app1 - 2])) << 8) | std::uint8_t(bytes[app1 - 1]);
  const std::string tiff = bytes.substr(app1 + 6, length - 8);
  auto bigEndian = [](std::size_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
  };
  std::string raf = "FUJIFILMCCD-RAW 0201FF383501";
  raf.resize(84, '\0');
  raf += bigEndian(108) + bigEndian(12 + tiff.size());
  raf.resize(100, '\0');
  raf += bigEndian(120) + bigEndian(tiff.size());
  raf.resize(108, '\0');
  raf += std::string("\xFF\xD8\xFF\xE1", 4) + char(length >> 8) + char(length & 0xFF) + std::string("Exif\0\0", 6) + tiff;
  const std::filesystem::path photo = folder / name;
  std::ofstream(photo, std::ios::binary) << raf;
  return photo;
}

}  // namespace quillon::testing
