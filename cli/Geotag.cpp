#include "cli/Geotag.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <future>
#include <string>
#include <utility>
#include <vector>

#include "cli/Convert.h"
#include "core/AppState.h"
#include "export/RangeSelection.h"
#include "geotag/CameraTime.h"
#include "geotag/PhotoList.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogLoader.h"

namespace quillon {

namespace {

constexpr char kProgram[] = "quillon-geotag: ";

std::string Fixed(double value, int decimals) {
  char text[48];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

void PrintLine(std::ostream& out, const std::string& path, const PhotoOutcome& outcome, bool dryRun) {
  out << path << '\t' << outcome.cameraTimeText << '\t';
  if (outcome.utcSeconds) out << UtcTimeText(*outcome.utcSeconds, 'T') << 'Z';
  out << '\t';
  if (outcome.position) {
    out << Fixed(outcome.position->latitude, 7) << '\t' << Fixed(outcome.position->longitude, 7) << '\t';
    if (outcome.position->altitude) out << Fixed(*outcome.position->altitude, 1);
  } else {
    out << "\t\t";
  }
  out << '\t' << OutcomeText(outcome, dryRun) << '\n';
}

// The fixes of the chosen range, in time order; an exit status when there
// are none to use.
std::optional<int> LoadTrack(const GeotagOptions& options, std::vector<TrackPoint>& track, std::ostream& err) {
  AppState state;
  state.rawLogPath = options.rawLog;
  switch (LoadRawLog(state)) {
    case LoadOutcome::kLoaded:
      break;
    case LoadOutcome::kCannotOpen:
      err << kProgram << "cannot read '" << options.rawLog << "': " << OpenProblem(options.rawLog) << '\n';
      return 1;
    case LoadOutcome::kMemoryNotEnough:
      err << kProgram << "cannot load '" << options.rawLog << "' into memory\n";
      return 1;
  }
  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);
  RangeRequest request;
  request.mode = RangeModeOf(options.range);
  request.dateTexts = options.dateTexts;
  request.tagText = options.tagText;
  const RangeOutcome outcome = PrepareSelection(state, request);
  if (const char* refusal = RefusalText(outcome)) {
    err << refusal << '\n';
    return 2;
  }
  if (outcome != RangeOutcome::kNoFixes) track = TrackPointsOf(state.selectionList);
  if (track.empty() && !options.request.removePositions) {
    err << kProgram << "'" << options.rawLog << "' holds no position fix in the chosen range; no photo changed\n";
    return 1;
  }
  return std::nullopt;
}

}  // namespace

int RunGeotag(const GeotagOptions& options, std::ostream& out, std::ostream& err) {
  std::vector<TrackPoint> track;
  if (const std::optional<int> status = LoadTrack(options, track, err)) return *status;
  std::size_t done = 0, leftAlone = 0, failed = 0;
  auto report = [&](const PhotoEntry& entry, const PhotoOutcome& outcome) {
    PrintLine(out, entry.path, outcome, options.request.dryRun);
    out.flush();
    if (IsFailure(outcome.kind)) {
      ++failed;
    } else if (outcome.kind == PhotoOutcomeKind::kTagged || outcome.kind == PhotoOutcomeKind::kSidecar ||
               outcome.kind == PhotoOutcomeKind::kRemoved) {
      ++done;
    } else {
      ++leftAlone;
    }
  };
  // Photos are tagged four at a time: most of a photo's time is spent
  // waiting for the disk to take its new bytes, and the disk takes several
  // photos' bytes about as fast as one's. The lines come in the order of the
  // list.
  constexpr std::size_t kPhotosAtOnce = 4;
  std::deque<std::pair<PhotoEntry, std::future<PhotoOutcome>>> running;
  auto reportOldest = [&] {
    report(running.front().first, running.front().second.get());
    running.pop_front();
  };
  for (const PhotoEntry& entry : ListPhotos(options.photos, options.recursive)) {
    if (!entry.problem.empty()) {
      PhotoOutcome outcome;
      outcome.problem = entry.problem;
      std::promise<PhotoOutcome> known;
      known.set_value(outcome);
      running.emplace_back(entry, known.get_future());
    } else {
      // Where no thread can be had, the photo is tagged when its line is due.
      running.emplace_back(entry, std::async(std::launch::async | std::launch::deferred, [&track, &options, entry] {
                             return GeotagPhoto(entry.path, track, options.request);
                           }));
    }
    if (running.size() >= kPhotosAtOnce) reportOldest();
  }
  while (!running.empty()) reportOldest();
  const bool removing = options.request.removePositions;
  err << kProgram << done << (removing ? " positions removed" : " tagged") << ", " << leftAlone << " left alone, "
      << failed << " failed" << (options.request.dryRun ? " (dry run: no photo changed)" : "") << '\n';
  return failed > 0 ? 1 : 0;
}

}  // namespace quillon
