#include "geotag/PhotoGeotag.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>

#include <exiv2/exiv2.hpp>

#include "geotag/ExifFields.h"
#include "geotag/XmpSidecar.h"
#include "platform/AtomicFileReplace.h"
#include "platform/FileBytes.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

// Exiv2 reads from memory through a long, 32 bits on Windows.
constexpr std::uint64_t kLargestPhoto = 1ull << 30;

constexpr std::string_view kPhotoExtensions[] = {
    "jpg", "jpeg", "jpe", "tif", "tiff", "dng", "png", "webp", "cr2", "crw", "nef", "nrw", "orf", "pef",
    "srw", "arw", "sr2", "raf", "rw2", "cr3", "heic", "heif", "mrw", "3fr", "erf", "kdc", "mef", "mos",
};

PhotoOutcome Failed(PhotoOutcome outcome, std::string problem) {
  outcome.kind = PhotoOutcomeKind::kFailed;
  outcome.problem = std::move(problem);
  return outcome;
}

PhotoOutcome With(PhotoOutcome outcome, PhotoOutcomeKind kind) {
  outcome.kind = kind;
  return outcome;
}

// Why the photo could not be read, as far as the file system tells.
std::string ReadProblem(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(Utf8Path(path), ec);
  if (ec == std::errc::permission_denied) return "cannot read it: permission denied";
  if (status.type() == std::filesystem::file_type::not_found) return "cannot read it: no such file";
  if (status.type() == std::filesystem::file_type::directory) return "cannot read it: it is a folder";
  if (status.type() != std::filesystem::file_type::regular) return "cannot read it: it is not a regular file";
  return "cannot read it";
}

// Why the tagged photo could not be put in place of the old one.
std::string WriteProblem(const std::string& path, std::uint64_t size, bool existed) {
  const std::filesystem::path file = Utf8Path(path);
  std::filesystem::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  const std::string what = existed ? "it" : "its sidecar " + Utf8Text(file.filename());
  std::error_code ec;
  if (existed && !std::filesystem::exists(file, ec)) return "cannot write it: it was removed while it was tagged";
  const std::filesystem::space_info space = std::filesystem::space(folder, ec);
  if (!ec && space.available < size + 65536) return "cannot write " + what + ": the disk is full; the photo is unchanged";
  return "cannot write " + what + ": its folder does not let new files be made; the photo is unchanged";
}

// Exiv2 warns of every oddity on standard error; its errors come as
// exceptions, which are what is reported.
void QuietenExiv2() {
  static std::once_flag once;
  std::call_once(once, [] { Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute); });
}

std::string CameraTimeText(const PhotoTimeFields& fields) {
  std::string text = fields.dateTimeOriginal;
  while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) text.pop_back();
  if (!text.empty() && !fields.subSecTimeOriginal.empty()) text += "." + fields.subSecTimeOriginal;
  return text;
}

// Where the photo was taken: its time (in UTC, the clock offset added) and
// the position on the track then. The kind is kNoTimeTaken or kOutsideTrack
// when the photo cannot be placed, else left as it came.
PhotoOutcome Place(PhotoOutcome outcome, const Exiv2::ExifData& exif, const std::vector<TrackPoint>& track,
                   const GeotagRequest& request) {
  const PhotoTimeFields fields = ReadPhotoTimeFields(exif);
  outcome.cameraTimeText = CameraTimeText(fields);
  const std::optional<CameraTime> camera = ParseExifDateTime(fields.dateTimeOriginal, fields.subSecTimeOriginal);
  if (!camera) return With(outcome, PhotoOutcomeKind::kNoTimeTaken);
  std::optional<std::int64_t> utc;
  if (const std::optional<std::int32_t> offset = ParseUtcOffset(fields.offsetTimeOriginal)) {
    utc = camera->clockSeconds - *offset;
  } else {
    utc = request.cameraZone.ToUtcSeconds(camera->clockSeconds);
  }
  if (!utc) return With(outcome, PhotoOutcomeKind::kNoTimeTaken);
  outcome.utcSeconds = static_cast<double>(*utc + request.clockOffsetSeconds) + camera->fraction;
  outcome.position = MatchPosition(track, *outcome.utcSeconds, request.limits);
  if (!outcome.position) return With(outcome, PhotoOutcomeKind::kOutsideTrack);
  return outcome;
}

// The new bytes of the photo or its sidecar, from Exiv2's memory, in the
// file's place.
PhotoOutcome Save(PhotoOutcome outcome, Exiv2::Image& image, const std::string& path) {
  std::error_code ec;
  const bool existed = std::filesystem::exists(Utf8Path(path), ec);
  bool replaced = false;
  std::uint64_t size = 0;
  try {
    image.writeMetadata();
    // The new bytes are written straight from Exiv2's memory.
    Exiv2::BasicIo& io = image.io();
    if (io.open() != 0) return Failed(outcome, "cannot tag it: Exiv2 lost the photo's bytes");
    const Exiv2::byte* data = io.mmap();
    size = static_cast<std::uint64_t>(io.size());
    replaced = WriteFileAtomically(path, [data, size](std::ostream& out) {
      out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    });
    io.munmap();
    io.close();
  } catch (const Exiv2::AnyError& error) {
    return Failed(outcome, std::string("cannot tag it: ") + error.what());
  }
  if (!replaced) return Failed(outcome, WriteProblem(path, size, existed));
  return outcome;
}

// A photo Exiv2 can only read gets its position in its XMP sidecar, which
// is made when there is none and otherwise changed in the same way as a
// photo: read whole, changed in memory, put in place in one rename.
PhotoOutcome TagSidecar(PhotoOutcome outcome, const Exiv2::ExifData& exif, const std::string& photoPath,
                        const std::vector<TrackPoint>& track, const GeotagRequest& request) {
  const std::string sidecarPath = SidecarPathOf(photoPath);
  const std::string name = Utf8Text(Utf8Path(sidecarPath).filename());
  std::error_code ec;
  Exiv2::Image::AutoPtr sidecar;
  std::shared_ptr<const std::string_view> bytes;
  try {
    if (std::filesystem::exists(Utf8Path(sidecarPath), ec)) {
      if (ReadFileBytes(sidecarPath, kLargestPhoto, bytes) != FileBytesOutcome::kRead) {
        return Failed(outcome, "cannot read its sidecar " + name);
      }
      sidecar = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes->data()),
                                          static_cast<long>(bytes->size()));
      if (sidecar->imageType() != Exiv2::ImageType::xmp) {
        return Failed(outcome, "cannot read its sidecar " + name + ": it is no XMP file");
      }
      sidecar->readMetadata();
      // Exiv2 keeps the sidecar's XMP also as EXIF and IPTC fields and
      // writes those back over the XMP; the XMP alone is what is changed.
      sidecar->clearExifData();
      sidecar->clearIptcData();
    } else {
      sidecar = Exiv2::ImageFactory::create(Exiv2::ImageType::xmp, Exiv2::BasicIo::AutoPtr(new Exiv2::MemIo));
    }
  } catch (const Exiv2::AnyError& error) {
    return Failed(outcome, "cannot read its sidecar " + name + ": " + error.what());
  }
  Exiv2::XmpData& xmp = sidecar->xmpData();
  if (request.removePositions) {
    outcome = Place(outcome, exif, track, request);
    outcome.position.reset();
    if (!RemoveXmpPosition(xmp)) return With(outcome, PhotoOutcomeKind::kNoPosition);
    outcome.kind = PhotoOutcomeKind::kRemoved;
  } else {
    outcome.kind = PhotoOutcomeKind::kSidecar;
    outcome = Place(outcome, exif, track, request);
    if ((HasGpsPosition(exif) || HasXmpPosition(xmp)) && !request.replacePositions) {
      return With(outcome, PhotoOutcomeKind::kAlreadyHasPosition);
    }
    if (outcome.kind != PhotoOutcomeKind::kSidecar) return outcome;
    WriteXmpPosition(xmp, *outcome.position, *outcome.utcSeconds);
  }
  if (request.dryRun) return outcome;
  return Save(outcome, *sidecar, sidecarPath);
}

}  // namespace

bool IsFailure(PhotoOutcomeKind kind) { return kind == PhotoOutcomeKind::kFailed; }

std::string OutcomeText(const PhotoOutcome& outcome, bool dryRun) {
  switch (outcome.kind) {
    case PhotoOutcomeKind::kTagged:
      return dryRun ? "to be tagged" : "tagged";
    case PhotoOutcomeKind::kSidecar:
      return dryRun ? "sidecar to be written" : "sidecar";
    case PhotoOutcomeKind::kRemoved:
      return dryRun ? "position to be removed" : "position removed";
    case PhotoOutcomeKind::kNoPosition:
      return "has no position";
    case PhotoOutcomeKind::kAlreadyHasPosition:
      return "already has a position";
    case PhotoOutcomeKind::kNoTimeTaken:
      return "no time taken";
    case PhotoOutcomeKind::kOutsideTrack:
      return "outside the track";
    case PhotoOutcomeKind::kNotAPhoto:
      return "not a photo";
    case PhotoOutcomeKind::kFailed:
      break;
  }
  return outcome.problem;
}

bool HasPhotoExtension(const std::string& path) {
  std::string extension = Utf8Text(Utf8Path(path).extension());
  if (extension.size() < 2) return false;
  extension.erase(0, 1);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return std::find(std::begin(kPhotoExtensions), std::end(kPhotoExtensions), extension) !=
         std::end(kPhotoExtensions);
}

PhotoOutcome GeotagPhoto(const std::string& path, const std::vector<TrackPoint>& track, const GeotagRequest& request) {
  QuietenExiv2();
  PhotoOutcome outcome;
  std::shared_ptr<const std::string_view> bytes;
  switch (ReadFileBytes(path, kLargestPhoto, bytes)) {
    case FileBytesOutcome::kRead:
      break;
    case FileBytesOutcome::kCannotOpen:
      return Failed(outcome, ReadProblem(path));
    case FileBytesOutcome::kTooLarge:
      return Failed(outcome, "cannot read it: it is too large to be a photo");
  }
  Exiv2::Image::AutoPtr image;
  try {
    image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(bytes->data()),
                                      static_cast<long>(bytes->size()));
  } catch (const Exiv2::AnyError&) {
    if (!HasPhotoExtension(path)) return With(outcome, PhotoOutcomeKind::kNotAPhoto);
    return Failed(outcome, "cannot read it as a photo: it is damaged or of no image format known here");
  }
  try {
    image->readMetadata();
  } catch (const Exiv2::AnyError& error) {
    return Failed(outcome, std::string("cannot read it as a photo: ") + error.what());
  }
  if ((image->checkMode(Exiv2::mdExif) & Exiv2::amWrite) == 0) {
    return TagSidecar(outcome, image->exifData(), path, track, request);
  }
  Exiv2::ExifData& exif = image->exifData();
  if (request.removePositions) {
    outcome = Place(outcome, exif, track, request);
    outcome.position.reset();
    if (!RemoveGpsFields(exif)) return With(outcome, PhotoOutcomeKind::kNoPosition);
    outcome.kind = PhotoOutcomeKind::kRemoved;
  } else {
    outcome.kind = PhotoOutcomeKind::kTagged;
    outcome = Place(outcome, exif, track, request);
    if (HasGpsPosition(exif) && !request.replacePositions) return With(outcome, PhotoOutcomeKind::kAlreadyHasPosition);
    if (outcome.kind != PhotoOutcomeKind::kTagged) return outcome;
    WriteGpsFields(exif, *outcome.position, *outcome.utcSeconds);
  }
  if (request.dryRun) return outcome;
  return Save(outcome, *image, path);
}

}  // namespace quillon
