#include <benchmark/benchmark.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>

#include "bench/LogGenerator.h"
#include "core/AppState.h"
#include "export/CsvExport.h"
#include "export/CsvWriter.h"
#include "export/ExportSelection.h"
#include "logdata/RawLogSelection.h"
#include "platform/Shell.h"
#include "tests/support/FakeWindowView.h"

namespace quillon::bench {

namespace {

// The export is measured without starting a program on the file.
class NoShell : public Shell {
 public:
  int OpenWithShell(const std::string&) override { return kShellSuccess; }
};

void LoadFullLog(AppState& app, testing::FakeWindowView& view) {
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  ReloadLogData(app, view);
  OnRangeAll(app);
}

void ReportThroughput(benchmark::State& state, std::size_t fixes, std::uintmax_t csvBytes) {
  state.counters["fixes/s"] =
      benchmark::Counter(static_cast<double>(fixes), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["CSV MB/s"] =
      benchmark::Counter(static_cast<double>(csvBytes) / 1e6, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["CSV MB"] = static_cast<double>(csvBytes) / 1e6;
}

// "Build Output File" on a full logger memory: select every fix, enter the
// output folder, write the CSV with distances to disk, leave.
void BM_BuildOutputFile(benchmark::State& state) {
  GeneratedLogDirectory directory;
  AppState app;
  testing::FakeWindowView view;
  LoadFullLog(app, view);
  NoShell shell;
  for (auto _ : state) {
    view.messages.clear();
    OnBuildOutputFile(app, view, shell);
  }
  const auto csv = directory.Path() / "Output File" / CsvFileName(app);
  ReportThroughput(state, app.selectionList.Size(), std::filesystem::file_size(csv));
}
BENCHMARK(BM_BuildOutputFile)->Unit(benchmark::kMillisecond);

// The CSV writer alone, into memory.
void BM_WriteCsv(benchmark::State& state) {
  GeneratedLogDirectory directory;
  AppState app;
  testing::FakeWindowView view;
  LoadFullLog(app, view);
  PrepareSelection(app, view);
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::ostringstream out;
    WriteCsv(out, app.selectionList, true);
    bytes = out.str().size();
    benchmark::DoNotOptimize(bytes);
  }
  ReportThroughput(state, app.selectionList.Size(), bytes);
}
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond);

}  // namespace

}  // namespace quillon::bench
