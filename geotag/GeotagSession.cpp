#include "geotag/GeotagSession.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

#include "geotag/CameraTime.h"
#include "geotag/ClockOffset.h"
#include "geotag/PhotoList.h"
#include "logdata/CivilTime.h"
#include "platform/PathConventions.h"

namespace quillon {

namespace {

// EXIF writes dates with colons ("2008:03:07 14:05:14.50"); the table shows
// them as every other date of the program.
std::string CameraText(std::string text) {
  if (text.size() >= 10 && text[4] == ':' && text[7] == ':') text[4] = text[7] = '-';
  return text;
}

std::string Degrees(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", value);
  return text;
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.find_last_of(kPathSeparator == '/' ? "/" : "/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Whether the outcome puts a position on the photo (in it, or in its
// sidecar where its format is only read).
bool Places(PhotoOutcomeKind kind) { return kind == PhotoOutcomeKind::kTagged || kind == PhotoOutcomeKind::kSidecar; }

bool WouldTag(const GeotagRow& row) {
  return (row.stage == GeotagRowStage::kLookedAt || row.stage == GeotagRowStage::kNotReached) && row.outcome &&
         Places(row.outcome->kind);
}

}  // namespace

GeotagRowTexts RowTexts(const GeotagRow& row) {
  GeotagRowTexts texts;
  texts[0] = FileNameOf(row.path);
  if (!row.outcome) return texts;
  const PhotoOutcome& outcome = *row.outcome;
  texts[1] = CameraText(outcome.cameraTimeText);
  if (outcome.utcSeconds) texts[2] = UtcTimeText(*outcome.utcSeconds, ' ');
  if (outcome.position) {
    texts[3] = Degrees(outcome.position->latitude);
    texts[4] = Degrees(outcome.position->longitude);
  }
  switch (row.stage) {
    case GeotagRowStage::kNotReached:
      texts[5] = "left as it was (cancelled)";
      break;
    case GeotagRowStage::kWritten:
      texts[5] = OutcomeText(outcome, false);
      break;
    case GeotagRowStage::kWaiting:
    case GeotagRowStage::kLookedAt:
      texts[5] = OutcomeText(outcome, true);
      break;
  }
  return texts;
}

std::string StatusText(const GeotagSnapshot& snapshot) {
  const std::size_t total = snapshot.rows.size();
  switch (snapshot.phase) {
    case GeotagPhase::kLooking: {
      const auto seen = std::count_if(snapshot.rows.begin(), snapshot.rows.end(),
                                      [](const GeotagRow& row) { return row.stage != GeotagRowStage::kWaiting; });
      return "Looking at the photos: " + std::to_string(seen) + " of " + std::to_string(total) + "...";
    }
    case GeotagPhase::kWriting:
      return "Writing positions: " + std::to_string(snapshot.progress) + " of " +
             std::to_string(snapshot.progressTotal) + "...";
    case GeotagPhase::kWritten:
      return std::string(snapshot.cancelled ? "Cancelled: " : "Done: ") + std::to_string(snapshot.tally.tagged) +
             " tagged, " + std::to_string(snapshot.tally.leftAlone) + " left alone, " +
             std::to_string(snapshot.tally.failed) + " failed.";
    case GeotagPhase::kReady:
      break;
  }
  if (!snapshot.fieldProblem.empty()) return snapshot.fieldProblem;
  if (total == 0) return "Add photos or a folder of photos, or drop them here.";
  const auto toTag = std::count_if(snapshot.rows.begin(), snapshot.rows.end(), WouldTag);
  return std::to_string(toTag) + " of " + std::to_string(total) + (total == 1 ? " photo" : " photos") +
         " to be tagged.";
}

GeotagSession::GeotagSession(std::vector<TrackPoint> track, bool rawLogLoaded)
    : track_(std::move(track)), rawLogLoaded_(rawLogLoaded) {
  ApplyFields();
  worker_ = std::thread([this] { Run(); });
}

GeotagSession::~GeotagSession() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

void GeotagSession::SetListener(std::function<void()> listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
}

std::string GeotagSession::TrackText() const {
  if (!rawLogLoaded_) return "No raw log is loaded: open one with \"Open Raw Log...\" first. Nothing can be tagged.";
  if (track_.empty()) return "The chosen range of the raw log has no position fix. Nothing can be tagged.";
  return "Track: " + std::to_string(track_.size()) + (track_.size() == 1 ? " fix, " : " fixes, ") +
         UtcTimeText(static_cast<double>(track_.front().utcSeconds), ' ') + " to " +
         UtcTimeText(static_cast<double>(track_.back().utcSeconds), ' ') + " UTC";
}

std::size_t GeotagSession::AddPaths(const std::vector<std::string>& paths) {
  // Listing reads folders, but not the photos themselves: quick enough for
  // the caller's thread.
  const std::vector<PhotoEntry> entries = ListPhotos(paths, false);
  std::lock_guard<std::mutex> lock(mutex_);
  if (phase_ == GeotagPhase::kWriting) return 0;
  std::size_t added = 0;
  for (const PhotoEntry& entry : entries) {
    const auto same = [&entry](const GeotagRow& row) { return row.path == entry.path; };
    if (std::any_of(rows_.begin(), rows_.end(), same)) continue;
    GeotagRow row;
    row.path = entry.path;
    if (!entry.problem.empty()) {
      row.listProblem = entry.problem;
      row.stage = GeotagRowStage::kLookedAt;
      row.outcome = PhotoOutcome{};
      row.outcome->problem = entry.problem;
    }
    rows_.push_back(std::move(row));
    ++added;
  }
  if (added > 0) StartLooking();
  return added;
}

bool GeotagSession::SetCameraZone(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (phase_ == GeotagPhase::kWriting) return false;
  zoneText_ = text;
  ApplyFields();
  StartLooking();
  return true;
}

bool GeotagSession::SetClockOffset(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (phase_ == GeotagPhase::kWriting) return false;
  offsetText_ = text;
  ApplyFields();
  StartLooking();
  return true;
}

bool GeotagSession::SetReplacePositions(bool replace) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (phase_ == GeotagPhase::kWriting) return false;
  replacePositions_ = replace;
  ApplyFields();
  StartLooking();
  return true;
}

void GeotagSession::ApplyFields() {
  const std::optional<CameraZone> zone = CameraZone::Parse(zoneText_);
  const std::optional<std::int64_t> offset =
      offsetText_.find_first_not_of(' ') == std::string::npos ? std::optional<std::int64_t>(0)
                                                               : ParseClockOffset(offsetText_);
  fieldProblem_.clear();
  request_.reset();
  if (!zone) {
    fieldProblem_ = "The camera's time zone \"" + zoneText_ +
                    "\" is not one of: empty (this PC's zone), UTC, +HH:MM, -HH:MM or a time zone name.";
    return;
  }
  if (!offset) {
    fieldProblem_ = "The clock offset \"" + offsetText_ + "\" is not [+-]SS, [+-]MM:SS or [+-]HH:MM:SS.";
    return;
  }
  GeotagRequest request;
  request.cameraZone = *zone;
  request.clockOffsetSeconds = *offset;
  request.replacePositions = replacePositions_;
  request_ = request;
}

void GeotagSession::StartLooking() {
  ++generation_;
  pending_.reset();
  Job job;
  job.generation = generation_;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    GeotagRow& row = rows_[i];
    if (!row.listProblem.empty()) continue;
    row.stage = GeotagRowStage::kWaiting;
    // Without usable fields there is nothing to show of a photo but its name.
    if (!request_) row.outcome.reset();
    job.rows.push_back(i);
    job.paths.push_back(row.path);
  }
  if (!request_ || job.rows.empty()) {
    phase_ = GeotagPhase::kReady;
    return;
  }
  job.request = *request_;
  job.request.dryRun = true;
  phase_ = GeotagPhase::kLooking;
  pending_ = std::move(job);
  wake_.notify_all();
}

bool GeotagSession::StartWriting() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!SnapshotLocked().canWrite) return false;
  ++generation_;
  Job job;
  job.generation = generation_;
  job.request = *request_;
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (!rows_[i].listProblem.empty()) continue;
    job.rows.push_back(i);
    job.paths.push_back(rows_[i].path);
  }
  phase_ = GeotagPhase::kWriting;
  cancelWrite_ = false;
  cancelled_ = false;
  progress_ = 0;
  progressTotal_ = job.rows.size();
  pending_ = std::move(job);
  wake_.notify_all();
  return true;
}

void GeotagSession::Cancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (phase_ == GeotagPhase::kWriting) cancelWrite_ = true;
}

void GeotagSession::WaitUntilIdle() {
  std::unique_lock<std::mutex> lock(mutex_);
  idle_.wait(lock, [this] { return !busy_ && !pending_; });
}

void GeotagSession::Run() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || pending_; });
    if (stopping_) break;
    const Job job = std::move(*pending_);
    pending_.reset();
    busy_ = true;
    lock.unlock();
    RunJob(job);
    Notify();
    lock.lock();
    busy_ = false;
    if (!pending_) idle_.notify_all();
  }
  busy_ = false;
  idle_.notify_all();
}

void GeotagSession::RunJob(const Job& job) {
  const bool writing = !job.request.dryRun;
  for (std::size_t k = 0; k < job.rows.size(); ++k) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_ || generation_ != job.generation) return;
      if (writing && cancelWrite_) {
        for (std::size_t rest = k; rest < job.rows.size(); ++rest)
          rows_[job.rows[rest]].stage = GeotagRowStage::kNotReached;
        break;
      }
    }
    // The photo is read (and written) without the lock, so that the window
    // can take snapshots meanwhile. A dry run reads a photo only the first
    // time; a write reads it afresh.
    std::optional<PhotoFacts> facts;
    PhotoOutcome outcome;
    if (writing) {
      outcome = GeotagPhoto(job.paths[k], track_, job.request);
    } else {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        facts = rows_[job.rows[k]].facts;
      }
      if (!facts) facts = ReadPhotoFacts(job.paths[k]);
      outcome = DecidePhoto(*facts, track_, job.request);
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (generation_ != job.generation) return;
      GeotagRow& row = rows_[job.rows[k]];
      row.facts = std::move(facts);
      row.outcome = std::move(outcome);
      row.stage = writing ? GeotagRowStage::kWritten : GeotagRowStage::kLookedAt;
      if (writing) ++progress_;
    }
    Notify();
  }
  std::lock_guard<std::mutex> lock(mutex_);
  if (generation_ != job.generation) return;
  if (writing) {
    written_ = true;
    cancelled_ = cancelWrite_;
    phase_ = GeotagPhase::kWritten;
  } else {
    phase_ = GeotagPhase::kReady;
  }
}

void GeotagSession::Notify() {
  std::function<void()> listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listener = listener_;
  }
  if (listener) listener();
}

GeotagSnapshot GeotagSession::Snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return SnapshotLocked();
}

GeotagSnapshot GeotagSession::SnapshotLocked() const {
  GeotagSnapshot snapshot;
  snapshot.rows = rows_;
  snapshot.phase = phase_;
  snapshot.fieldProblem = fieldProblem_;
  snapshot.progress = progress_;
  snapshot.progressTotal = progressTotal_;
  snapshot.cancelled = cancelled_;
  for (const GeotagRow& row : rows_) {
    if (!row.outcome) continue;
    const PhotoOutcomeKind kind = row.outcome->kind;
    const bool changed = Places(kind) || kind == PhotoOutcomeKind::kRemoved;
    if (row.stage == GeotagRowStage::kWritten && changed)
      ++snapshot.tally.tagged;
    else if (IsFailure(kind) && row.stage != GeotagRowStage::kNotReached)
      ++snapshot.tally.failed;
    else
      ++snapshot.tally.leftAlone;
  }
  const bool settled = phase_ == GeotagPhase::kReady || phase_ == GeotagPhase::kWritten;
  snapshot.canWrite = settled && !track_.empty() && request_ && std::any_of(rows_.begin(), rows_.end(), WouldTag);
  return snapshot;
}

std::vector<GeotaggedPhoto> GeotagSession::PlacedPhotos() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<GeotaggedPhoto> placed;
  for (const GeotagRow& row : rows_) {
    if (row.stage != GeotagRowStage::kWritten || !row.outcome || !row.outcome->position || !row.outcome->utcSeconds)
      continue;
    const PhotoOutcomeKind kind = row.outcome->kind;
    if (!Places(kind) && kind != PhotoOutcomeKind::kAlreadyHasPosition) continue;
    placed.push_back({row.path, *row.outcome->utcSeconds, row.outcome->position->latitude,
                      row.outcome->position->longitude});
  }
  return placed;
}

bool GeotagSession::HasWritten() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return written_;
}

}  // namespace quillon
