#include "geotag/PhotoGeotag.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>

#include <exiv2/exiv2.hpp>

#include "core/FixList.h"
#include "geotag/ExifFields.h"
#include "geotag/JpegHead.h"
#include "geotag/XmpSidecar.h"
#include "platform/AtomicFileReplace.h"
#include "platform/FileBytes.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

// Exiv2 reads from memory through a long, 32 bits on Windows.
constexpr std::uint64_t kLargestPhoto = 1ull << 30;
// How much of a photo is read first, to find where a JPEG's metadata ends.
constexpr std::size_t kHeadRead = std::size_t{256} << 10;

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

// Exiv2's XMP toolkit is shared by every thread that tags photos and must
// be given a lock before the first of them uses it.
void LockXmpToolkit(void* mutex, bool lock) {
  if (lock) {
    static_cast<std::recursive_mutex*>(mutex)->lock();
  } else {
    static_cast<std::recursive_mutex*>(mutex)->unlock();
  }
}

// Exiv2 warns of every oddity on standard error; its errors come as
// exceptions, which are what is reported.
void PrepareExiv2() {
  static std::once_flag once;
  std::call_once(once, [] {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    static std::recursive_mutex xmpMutex;
    Exiv2::XmpParser::initialize(LockXmpToolkit, &xmpMutex);
  });
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
PhotoOutcome Place(PhotoOutcome outcome, const PhotoFacts& facts, const std::vector<TrackPoint>& track,
                   const GeotagRequest& request) {
  outcome.cameraTimeText = CameraTimeText(facts.time);
  const std::optional<CameraTime> camera = ParseExifDateTime(facts.time.dateTimeOriginal, facts.time.subSecTimeOriginal);
  if (!camera) return With(outcome, PhotoOutcomeKind::kNoTimeTaken);
  std::optional<std::int64_t> utc;
  if (const std::optional<std::int32_t> offset = ParseUtcOffset(facts.time.offsetTimeOriginal)) {
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

// The new bytes of a JPEG whose beginning alone Exiv2 had, up to its first
// scan: what Exiv2 made of that, then the rest of the photo copied from the
// file as it is.
PhotoOutcome SaveHead(PhotoOutcome outcome, Exiv2::Image& image, const std::string& path,
                      std::shared_ptr<PositionalFile> file, std::uint64_t headSize) {
  const std::uint64_t size = file->Size();
  SpliceOutcome spliced = SpliceOutcome::kFailed;
  try {
    image.writeMetadata();
    Exiv2::BasicIo& io = image.io();
    if (io.open() != 0) return Failed(outcome, "cannot tag it: Exiv2 lost the photo's bytes");
    const Exiv2::byte* data = io.mmap();
    spliced = SpliceFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(data), static_cast<std::size_t>(io.size())),
        std::move(file), headSize);
    io.munmap();
    io.close();
  } catch (const Exiv2::AnyError& error) {
    return Failed(outcome, std::string("cannot tag it: ") + error.what());
  }
  if (spliced == SpliceOutcome::kSourceChanged) {
    return Failed(outcome, "cannot tag it: it changed while it was tagged; left as it was");
  }
  if (spliced != SpliceOutcome::kReplaced) return Failed(outcome, WriteProblem(path, size, true));
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

// A photo read into memory with Exiv2: what deciding needs to know of it,
// and the metadata to change, of the photo itself or of the XMP sidecar that
// a photo Exiv2 can only read gets instead.
struct OpenedPhoto {
  PhotoFacts facts;
  std::shared_ptr<const std::string_view> bytes;
  // For a JPEG read only up to its first scan: the open file, whose rest is
  // copied when the photo is written.
  std::shared_ptr<PositionalFile> file;
  Exiv2::Image::AutoPtr image;
  std::string sidecarPath;
  std::shared_ptr<const std::string_view> sidecarBytes;
  Exiv2::Image::AutoPtr sidecar;
};

// The sidecar of a photo Exiv2 can only read, made in memory when there is
// none; false, with the failure in `facts`, when the one there cannot be read.
bool OpenSidecar(const std::string& photoPath, OpenedPhoto& photo) {
  photo.sidecarPath = SidecarPathOf(photoPath);
  const std::string name = Utf8Text(Utf8Path(photo.sidecarPath).filename());
  auto fail = [&photo](std::string problem) {
    photo.facts.unreadable = Failed(PhotoOutcome(), std::move(problem));
    return false;
  };
  std::error_code ec;
  try {
    if (std::filesystem::exists(Utf8Path(photo.sidecarPath), ec)) {
      if (ReadFileBytes(photo.sidecarPath, kLargestPhoto, photo.sidecarBytes) != FileBytesOutcome::kRead) {
        return fail("cannot read its sidecar " + name);
      }
      photo.sidecar = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(photo.sidecarBytes->data()),
                                                static_cast<long>(photo.sidecarBytes->size()));
      if (photo.sidecar->imageType() != Exiv2::ImageType::xmp) return fail("cannot read its sidecar " + name + ": it is no XMP file");
      photo.sidecar->readMetadata();
      // Exiv2 keeps the sidecar's XMP also as EXIF and IPTC fields and
      // writes those back over the XMP; the XMP alone is what is changed.
      photo.sidecar->clearExifData();
      photo.sidecar->clearIptcData();
    } else {
      photo.sidecar = Exiv2::ImageFactory::create(Exiv2::ImageType::xmp, Exiv2::BasicIo::AutoPtr(new Exiv2::MemIo));
    }
  } catch (const Exiv2::AnyError& error) {
    return fail("cannot read its sidecar " + name + ": " + error.what());
  }
  return true;
}

enum class PhotoRead { kWhole, kUpToScan, kFailed };

// The bytes of the photo Exiv2 needs: a JPEG's up to its first scan when
// they lie in its beginning (its image data, most of it, is then copied
// within the system when the photo is written), any other photo whole.
PhotoRead ReadPhotoBytes(const PositionalFile& file, std::shared_ptr<const std::string_view>& bytes) {
  std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(file.Size(), kHeadRead)), '\0');
  head.resize(file.ReadAt(0, head.data(), head.size()));
  if (head.size() < file.Size()) {
    if (const std::optional<std::size_t> end = JpegMetadataEnd(head)) {
      head.resize(*end);
      bytes = MakeSharedText(std::move(head));
      return PhotoRead::kUpToScan;
    }
    return ReadAllBytes(file, bytes) == FileBytesOutcome::kRead ? PhotoRead::kWhole : PhotoRead::kFailed;
  }
  bytes = MakeSharedText(std::move(head));
  return PhotoRead::kWhole;
}

// Reads the photo, and its sidecar where it gets one, into memory.
OpenedPhoto OpenPhoto(const std::string& path) {
  PrepareExiv2();
  OpenedPhoto photo;
  PhotoFacts& facts = photo.facts;
  std::unique_ptr<PositionalFile> file;
  switch (OpenPositionalFile(path, kLargestPhoto, file)) {
    case FileBytesOutcome::kRead:
      break;
    case FileBytesOutcome::kCannotOpen:
      facts.unreadable = Failed(PhotoOutcome(), ReadProblem(path));
      return photo;
    case FileBytesOutcome::kTooLarge:
      facts.unreadable = Failed(PhotoOutcome(), "cannot read it: it is too large to be a photo");
      return photo;
  }
  switch (ReadPhotoBytes(*file, photo.bytes)) {
    case PhotoRead::kUpToScan:
      photo.file = std::move(file);
      break;
    case PhotoRead::kWhole:
      break;
    case PhotoRead::kFailed:
      facts.unreadable = Failed(PhotoOutcome(), "cannot read it: it does not fit in memory");
      return photo;
  }
  try {
    photo.image = Exiv2::ImageFactory::open(reinterpret_cast<const Exiv2::byte*>(photo.bytes->data()),
                                            static_cast<long>(photo.bytes->size()));
  } catch (const Exiv2::AnyError&) {
    facts.unreadable = HasPhotoExtension(path)
                           ? Failed(PhotoOutcome(), "cannot read it as a photo: it is damaged or of no image format known here")
                           : With(PhotoOutcome(), PhotoOutcomeKind::kNotAPhoto);
    return photo;
  }
  try {
    photo.image->readMetadata();
  } catch (const Exiv2::AnyError& error) {
    facts.unreadable = Failed(PhotoOutcome(), std::string("cannot read it as a photo: ") + error.what());
    return photo;
  }
  const Exiv2::ExifData& exif = photo.image->exifData();
  facts.time = ReadPhotoTimeFields(exif);
  facts.hasPosition = HasGpsPosition(exif);
  facts.sidecar = (photo.image->checkMode(Exiv2::mdExif) & Exiv2::amWrite) == 0;
  if (facts.sidecar) {
    if (!OpenSidecar(path, photo)) return photo;
    Exiv2::XmpData xmp = photo.sidecar->xmpData();
    facts.hasPosition = facts.hasPosition || HasXmpPosition(xmp);
    facts.hasWrittenFields = RemoveXmpPosition(xmp);
  } else {
    Exiv2::ExifData copy = exif;
    facts.hasWrittenFields = RemoveGpsFields(copy);
  }
  return photo;
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

PhotoFacts ReadPhotoFacts(const std::string& path) { return OpenPhoto(path).facts; }

PhotoOutcome DecidePhoto(const PhotoFacts& facts, const std::vector<TrackPoint>& track, const GeotagRequest& request) {
  if (facts.unreadable) return *facts.unreadable;
  if (request.removePositions) {
    PhotoOutcome outcome = Place(PhotoOutcome(), facts, track, request);
    outcome.position.reset();
    return With(outcome, facts.hasWrittenFields ? PhotoOutcomeKind::kRemoved : PhotoOutcomeKind::kNoPosition);
  }
  PhotoOutcome outcome;
  outcome.kind = facts.sidecar ? PhotoOutcomeKind::kSidecar : PhotoOutcomeKind::kTagged;
  outcome = Place(outcome, facts, track, request);
  if (facts.hasPosition && !request.replacePositions) return With(outcome, PhotoOutcomeKind::kAlreadyHasPosition);
  return outcome;
}

PhotoOutcome GeotagPhoto(const std::string& path, const std::vector<TrackPoint>& track, const GeotagRequest& request) {
  OpenedPhoto photo = OpenPhoto(path);
  const PhotoOutcome outcome = DecidePhoto(photo.facts, track, request);
  const bool changes = outcome.kind == PhotoOutcomeKind::kTagged || outcome.kind == PhotoOutcomeKind::kSidecar ||
                       outcome.kind == PhotoOutcomeKind::kRemoved;
  if (request.dryRun || !changes) return outcome;
  if (photo.facts.sidecar) {
    Exiv2::XmpData& xmp = photo.sidecar->xmpData();
    if (request.removePositions) {
      RemoveXmpPosition(xmp);
    } else {
      WriteXmpPosition(xmp, *outcome.position, *outcome.utcSeconds);
    }
    return Save(outcome, *photo.sidecar, photo.sidecarPath);
  }
  Exiv2::ExifData& exif = photo.image->exifData();
  if (request.removePositions) {
    RemoveGpsFields(exif);
  } else {
    WriteGpsFields(exif, *outcome.position, *outcome.utcSeconds);
  }
  if (photo.file) return SaveHead(outcome, *photo.image, path, std::move(photo.file), photo.bytes->size());
  return Save(outcome, *photo.image, path);
}

}  // namespace quillon
