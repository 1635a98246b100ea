#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geotag/CameraTime.h"
#include "geotag/TrackMatch.h"

namespace quillon {

// How the photos of one run are tagged.
struct GeotagRequest {
  // The zone of the camera's clock for photos that do not state their offset.
  CameraZone cameraZone = CameraZone::Pc();
  // Seconds the logger's clock is ahead of the camera's.
  std::int64_t clockOffsetSeconds = 0;
  MatchLimits limits;
  bool replacePositions = false;
  bool removePositions = false;
  // Decide everything, write nothing.
  bool dryRun = false;
};

enum class PhotoOutcomeKind {
  kTagged,
  // Tagged in its XMP sidecar, the photo itself unchanged.
  kSidecar,
  kRemoved,
  kNoPosition,
  kAlreadyHasPosition,
  kNoTimeTaken,
  kOutsideTrack,
  kNotAPhoto,
  kFailed,
};

// What became of one photo, and what was learnt of it on the way.
struct PhotoOutcome {
  PhotoOutcomeKind kind = PhotoOutcomeKind::kFailed;
  // DateTimeOriginal (with its sub-seconds) as the photo holds it.
  std::string cameraTimeText;
  // The photo's time in UTC, the clock offset added.
  std::optional<double> utcSeconds;
  std::optional<TrackPoint> position;
  // Why it failed, for kFailed.
  std::string problem;
};

// Whether the outcome means the photo could not be handled as asked.
bool IsFailure(PhotoOutcomeKind kind);

// The outcome in the words of the command line and the window.
std::string OutcomeText(const PhotoOutcome& outcome, bool dryRun);

// What deciding what becomes of a photo needs to know of it, read once.
struct PhotoFacts {
  // Why the photo cannot be tagged at all: it could not be read, is no
  // photo, or its sidecar cannot be read.
  std::optional<PhotoOutcome> unreadable;
  PhotoTimeFields time;
  // A latitude and a longitude, in the photo or its sidecar.
  bool hasPosition = false;
  // Any of the fields tagging writes, where it writes them.
  bool hasWrittenFields = false;
  // The position goes into an XMP sidecar: Exiv2 can read the format but
  // not write it.
  bool sidecar = false;
};

// Reads the photo at `path` (and its sidecar where it gets one).
PhotoFacts ReadPhotoFacts(const std::string& path);

// What tagging the photo would do, from what was read of it: no file is
// read or written.
PhotoOutcome DecidePhoto(const PhotoFacts& facts, const std::vector<TrackPoint>& track, const GeotagRequest& request);

// Tags (or, asked to, untags) the photo at `path` from `track`. The photo's
// metadata is read and changed in memory (a JPEG's segments before its
// scan; any other photo read whole), and the new file, the rest of a JPEG
// copied from the old one, put in the photo's place in one rename, its
// permissions kept: the photo is either as it was or fully tagged, whatever
// happens. Safe to call for different photos from several threads at once. Every other byte of its
// metadata and image stays as it was, as far as the format lets Exiv2 keep
// it.
PhotoOutcome GeotagPhoto(const std::string& path, const std::vector<TrackPoint>& track, const GeotagRequest& request);

// Whether a file name ends in the extension of a photo format.
bool HasPhotoExtension(const std::string& path);

}  // namespace quillon
