#include <benchmark/benchmark.h>

#include <string>

#include "bench/LogGenerator.h"
#include "core/AppState.h"
#include "logdata/RawLogLoader.h"
#include "tests/support/FakeWindowView.h"
#include "trackview/NearestFixIndex.h"
#include "trackview/SpeedAltitudeProfile.h"
#include "trackview/SpeedScale.h"
#include "trackview/TrackDecimation.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackSummary.h"

namespace quillon::bench {

namespace {

// What opening the Track View on a full logger memory costs once the log is
// parsed: build the model, the hover index and the summary, then one full
// layout of an 800 x 500 map and two 800-pixel profiles.
void BM_TrackViewOpenAndLayout(benchmark::State& state) {
  GeneratedLogDirectory directory;
  AppState app;
  app.rawLogPath = std::string("Rawdata/") + kGeneratedLogName;
  LoadRawLog(app);
  ParseRawLog(app);
  std::size_t drawn = 0;
  for (auto _ : state) {
    const TrackModel model = TrackModel::Build(app.fixList);
    const NearestFixIndex index(model);
    const TrackSummary summary = SummariseTrack(app.fixList);
    const SpeedScale scale(summary.highestKmh.value_or(0.0));
    const Viewport view(model.Bounds(), PixelRect{0.0, 0.0, 800.0, 500.0}, 20.0, model.MetresPerUnit());
    const std::vector<std::uint32_t> kept = DecimateTrack(model, view);
    const TimeAxis axis = MakeTimeAxis(model, true);
    const auto speed = ProfileColumns(model, axis, ProfileValue::kSpeedKmh, 800);
    const auto altitude = ProfileColumns(model, axis, ProfileValue::kAltitude, 800);
    drawn = kept.size();
    benchmark::DoNotOptimize(scale.ColourOf(model.Fixes()[kept.back()].speedKmh));
    benchmark::DoNotOptimize(index.Nearest(model.Bounds().left, model.Bounds().top, 1.0));
    benchmark::DoNotOptimize(speed.size() + altitude.size());
  }
  if (app.fixList.Size() != directory.Pairs()) state.SkipWithError("the log did not parse whole");
  state.counters["fixes"] = static_cast<double>(app.fixList.Size());
  state.counters["drawn"] = static_cast<double>(drawn);
}
BENCHMARK(BM_TrackViewOpenAndLayout)->Unit(benchmark::kMillisecond);

// One redraw after a zoom or pan: the layout pass alone.
void BM_TrackViewRedraw(benchmark::State& state) {
  GeneratedLogDirectory directory;
  AppState app;
  app.rawLogPath = std::string("Rawdata/") + kGeneratedLogName;
  LoadRawLog(app);
  ParseRawLog(app);
  const TrackModel model = TrackModel::Build(app.fixList);
  Viewport view(model.Bounds(), PixelRect{0.0, 0.0, 800.0, 500.0}, 20.0, model.MetresPerUnit());
  view.ZoomAbout({400.0, 250.0}, 4.0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecimateTrack(model, view).size());
  }
}
BENCHMARK(BM_TrackViewRedraw)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace quillon::bench
