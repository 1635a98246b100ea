// quillon_convert_ratio: how long quillon-convert takes to turn a full logger
// memory into CSV, measured against `wc -l` of the same file (the cost of just
// reading it once) and against GPSBabel's NMEA to CSV conversion, each run as
// a separate process from start to exit. The programs take turns, run after
// run, so that a load that comes and goes on the machine touches all of them.
//
//   quillon_convert_ratio [--runs N] [--convert PATH] [--keep]
//
// --keep leaves the generated folder (log and outputs) in place and names it.
//
// GPSBabel reads the tagged lines as they are ("---,$GPGGA,..."); it needs -t,
// since NMEA gives it track points, which it otherwise does not convert.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/LogGenerator.h"
#include "bench/ProgramRun.h"

namespace quillon::bench {

namespace {

struct Program {
  std::string name;
  std::vector<std::string> argv;
  std::vector<RunResult> runs;

  double MedianSeconds() const { return Median([](const RunResult& r) { return r.seconds; }); }
  double MedianPeakKilobytes() const {
    return Median([](const RunResult& r) { return static_cast<double>(r.peakKilobytes); });
  }

 private:
  template <typename Of>
  double Median(Of of) const {
    std::vector<double> values;
    for (const RunResult& r : runs) values.push_back(of(r));
    std::sort(values.begin(), values.end());
    if (values.empty()) return 0;
    std::size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
  }
};

int Main(int argc, char** argv) {
  int runs = 7;
  bool keep = false;
  std::filesystem::path convert = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "quillon-convert";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--runs" && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--convert" && i + 1 < argc) {
      convert = argv[++i];
    } else if (arg == "--keep") {
      keep = true;
    } else {
      std::fprintf(stderr, "usage: %s [--runs N] [--convert PATH] [--keep]\n", argv[0]);
      return 2;
    }
  }

  GeneratedLogDirectory directory;
  if (keep) {
    directory.Keep();
    std::printf("folder kept: %s\n", directory.Path().c_str());
  }
  const std::filesystem::path log = directory.Path() / "Rawdata" / kGeneratedLogName;
  const std::string csv = (directory.Path() / "out.csv").string();

  std::vector<Program> programs;
  programs.push_back({"wc -l", {"wc", "-l", log.string()}, {}});
  programs.push_back({"quillon-convert", {convert.string(), log.string(), "--format", "csv", "--all", "-o", csv}, {}});
  if (FindProgram("gpsbabel")) {
    programs.push_back({"gpsbabel", {"gpsbabel", "-t", "-i", "nmea", "-f", log.string(), "-o", "unicsv", "-F",
                                     (directory.Path() / "gpsbabel.csv").string()},
                        {}});
  }

  // One untimed round brings the log into the page cache for every program.
  for (Program& p : programs) {
    if (!RunMeasured(p.argv)) {
      std::fprintf(stderr, "%s failed on %s\n", p.name.c_str(), log.c_str());
      return 1;
    }
  }
  for (int run = 0; run < runs; ++run) {
    for (Program& p : programs) {
      std::optional<RunResult> result = RunMeasured(p.argv);
      if (!result) {
        std::fprintf(stderr, "%s failed\n", p.name.c_str());
        return 1;
      }
      p.runs.push_back(*result);
    }
  }

  const double logMegabytes = static_cast<double>(directory.LogBytes()) / 1e6;
  std::printf("log: %zu tagged fixes, %.1f MB; median of %d runs each\n", directory.Pairs(), logMegabytes, runs);
  for (const Program& p : programs) {
    std::printf("  %-16s %9.1f ms   peak RSS %7.1f MB\n", p.name.c_str(), p.MedianSeconds() * 1e3,
                p.MedianPeakKilobytes() / 1024.0);
  }
  const Program& wc = programs[0];
  const Program& quillon = programs[1];
  std::printf("quillon-convert / wc -l:      %.1f\n", quillon.MedianSeconds() / wc.MedianSeconds());
  if (programs.size() > 2) {
    std::printf("gpsbabel / quillon-convert:   %.1f\n", programs[2].MedianSeconds() / quillon.MedianSeconds());
  } else {
    std::printf("gpsbabel not installed: no comparison\n");
  }
  std::printf("quillon-convert peak RSS / log size: %.2f\n",
              quillon.MedianPeakKilobytes() * 1024.0 / static_cast<double>(directory.LogBytes()));
  return 0;
}

}  // namespace

}  // namespace quillon::bench

int main(int argc, char** argv) { return quillon::bench::Main(argc, argv); }
