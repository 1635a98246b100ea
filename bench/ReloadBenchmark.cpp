#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "bench/LogGenerator.h"
#include "core/AppState.h"
#include "core/ControlIds.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogSelection.h"
#include "tests/support/FakeWindowView.h"

namespace quillon::bench {

namespace {

// A zone with daylight saving, so that the offsets come from real zone rules.
void UseDaylightSavingZone() {
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
}

void ReportThroughput(benchmark::State& state, const GeneratedLogDirectory& directory) {
  state.counters["fixes/s"] =
      benchmark::Counter(static_cast<double>(directory.Pairs()), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB/s"] =
      benchmark::Counter(static_cast<double>(directory.LogBytes()) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["MB"] = static_cast<double>(directory.LogBytes()) / 1e6;
}

// The whole reload as start-up and every dump run it: select, load, parse,
// local times, date fields and tag box.
void BM_ReloadLogData(benchmark::State& state) {
  UseDaylightSavingZone();
  GeneratedLogDirectory directory(static_cast<std::size_t>(state.range(0)));
  AppState app;
  testing::FakeWindowView view;
  view.SetChecked(ids::kUseLocalTime, true);
  for (auto _ : state) {
    ReloadLogData(app, view);
    benchmark::DoNotOptimize(app.fixList.Size());
  }
  if (app.fixList.Size() != directory.Pairs() || !view.messages.empty()) {
    state.SkipWithError("the reload did not produce every fix");
  }
  ReportThroughput(state, directory);
}
BENCHMARK(BM_ReloadLogData)->Arg(kFullMemoryPairs)->Unit(benchmark::kMillisecond);

// The stages one by one, to see where the time of a reload goes.
void BM_LoadRawLog(benchmark::State& state) {
  GeneratedLogDirectory directory;
  AppState app;
  app.rawLogPath = std::string("Rawdata/") + kGeneratedLogName;
  for (auto _ : state) {
    LoadRawLog(app);
    benchmark::DoNotOptimize(app.rawLogText->size());
  }
  ReportThroughput(state, directory);
}
BENCHMARK(BM_LoadRawLog)->Unit(benchmark::kMillisecond);

void BM_ParseRawLog(benchmark::State& state) {
  GeneratedLogDirectory directory;
  AppState app;
  app.rawLogPath = std::string("Rawdata/") + kGeneratedLogName;
  LoadRawLog(app);
  for (auto _ : state) {
    ParseRawLog(app);
    benchmark::DoNotOptimize(app.fixList.Size());
  }
  ReportThroughput(state, directory);
}
BENCHMARK(BM_ParseRawLog)->Unit(benchmark::kMillisecond);

void BM_ComputeLocalTimes(benchmark::State& state) {
  UseDaylightSavingZone();
  GeneratedLogDirectory directory;
  AppState app;
  app.rawLogPath = std::string("Rawdata/") + kGeneratedLogName;
  LoadRawLog(app);
  ParseRawLog(app);
  for (auto _ : state) {
    ComputeLocalTimes(app.fixList);
    benchmark::DoNotOptimize(app.fixList[0].localHour);
  }
  ReportThroughput(state, directory);
}
BENCHMARK(BM_ComputeLocalTimes)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace quillon::bench

BENCHMARK_MAIN();
