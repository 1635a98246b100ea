#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/AppState.h"
#include "geotag/PhotoGeotag.h"
#include "geotag/TrackMatch.h"

namespace quillon {

// How far a photo of the list has got.
enum class GeotagRowStage {
  kWaiting,     // not looked at under the present fields yet
  kLookedAt,    // its outcome is that of a dry run
  kWritten,     // its outcome is that of writing
  kNotReached,  // writing was cancelled before it; the photo is as it was
};

struct GeotagRow {
  std::string path;
  // Why the path could not be listed (a folder that cannot be read); such a
  // row keeps that failure and is never looked at.
  std::string listProblem;
  GeotagRowStage stage = GeotagRowStage::kWaiting;
  std::optional<PhotoOutcome> outcome;
  // What was read of the photo for the dry runs, so that a change of the
  // fields decides again without reading it again; dropped once written.
  std::optional<PhotoFacts> facts;
};

enum class GeotagPhase {
  kLooking,  // dry runs over the list are under way
  kReady,
  kWriting,
  kWritten,  // the last write has ended (or was cancelled)
};

struct GeotagTally {
  std::size_t tagged = 0;
  std::size_t leftAlone = 0;
  std::size_t failed = 0;
};

// The session as the window shows it at one moment.
struct GeotagSnapshot {
  std::vector<GeotagRow> rows;
  GeotagPhase phase = GeotagPhase::kReady;
  // Why the fields cannot be used ("" when they can).
  std::string fieldProblem;
  // Photos written (or passed over) so far of those the write took on.
  std::size_t progress = 0;
  std::size_t progressTotal = 0;
  bool cancelled = false;
  GeotagTally tally;
  bool canWrite = false;
};

// The columns of a row: file name, camera time, UTC time, latitude,
// longitude, and what will happen to the photo (or did, or why not).
using GeotagRowTexts = std::array<std::string, 6>;
GeotagRowTexts RowTexts(const GeotagRow& row);

// The line under the table: what the dialog is doing, the field problem, or
// the tally of the last write.
std::string StatusText(const GeotagSnapshot& snapshot);

// The Geotag Photos dialog's behaviour: the photo list, its fields, dry runs
// of every photo whenever the list or a field changes, and the write. The
// dry runs and the write read and write files, so they run on one worker
// thread of the session's own; the window is told of every change through
// the listener (called on that thread) and reads a snapshot.
class GeotagSession {
 public:
  // `track` is the fixes of the chosen range; `rawLogLoaded` tells an empty
  // track of a log without fixes from no log at all.
  GeotagSession(std::vector<TrackPoint> track, bool rawLogLoaded);
  ~GeotagSession();
  GeotagSession(const GeotagSession&) = delete;
  GeotagSession& operator=(const GeotagSession&) = delete;

  // Called on the worker thread after each photo and when a run ends,
  // without the session's lock held: it may take a snapshot or cancel.
  void SetListener(std::function<void()> listener);

  // What the track is, or why nothing can be tagged from it.
  std::string TrackText() const;
  bool HasTrack() const { return !track_.empty(); }

  // Adds the photos the paths name (a folder: the photos directly in it);
  // photos listed already are passed over. How many were added; none while
  // writing.
  std::size_t AddPaths(const std::vector<std::string>& paths);
  // The fields as typed: the camera's time zone ("" is this PC's), the clock
  // offset ("" is 0) and whether positions the photos have are replaced.
  // Refused (false) while writing.
  bool SetCameraZone(const std::string& text);
  bool SetClockOffset(const std::string& text);
  bool SetReplacePositions(bool replace);

  // Starts writing: every photo of the list is judged again as it is then
  // and tagged where that says so. False when writing is not possible now:
  // no track, a field in error, dry runs under way, or no photo to tag.
  bool StartWriting();
  // Stops writing before the next photo; the photo being written is
  // finished first, so that each is either as it was or fully tagged.
  void Cancel();
  // Returns when the worker has nothing left to do.
  void WaitUntilIdle();

  GeotagSnapshot Snapshot() const;
  // The photos the last write placed on the track (tagged, or positioned
  // already), with where the track was when they were taken.
  std::vector<GeotaggedPhoto> PlacedPhotos() const;
  bool HasWritten() const;

 private:
  struct Job {
    unsigned generation = 0;
    GeotagRequest request;
    std::vector<std::size_t> rows;
    std::vector<std::string> paths;
  };

  void ApplyFields();
  void StartLooking();
  GeotagSnapshot SnapshotLocked() const;
  void Run();
  void RunJob(const Job& job);
  void Notify();

  const std::vector<TrackPoint> track_;
  const bool rawLogLoaded_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::function<void()> listener_;
  std::vector<GeotagRow> rows_;
  std::string zoneText_;
  std::string offsetText_;
  bool replacePositions_ = false;
  std::string fieldProblem_;
  std::optional<GeotagRequest> request_;
  GeotagPhase phase_ = GeotagPhase::kReady;
  // Each new run takes a new number; results of an older one are dropped.
  unsigned generation_ = 0;
  std::optional<Job> pending_;
  bool busy_ = false;
  bool cancelWrite_ = false;
  bool stopping_ = false;
  bool written_ = false;
  bool cancelled_ = false;
  std::size_t progress_ = 0;
  std::size_t progressTotal_ = 0;
  std::thread worker_;
};

}  // namespace quillon
