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
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fcntl.h>
#include <optional>
#include <string>
#include <vector>

#include "bench/LogGenerator.h"

namespace quillon::bench {

namespace {

struct RunResult {
  double seconds = 0;
  long peakKilobytes = 0;
};

// Runs argv with stdout and stderr on /dev/null; nullopt when it could not be
// started or did not exit with 0.
std::optional<RunResult> RunOnce(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid < 0) return std::nullopt;
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid) return std::nullopt;
  const auto end = std::chrono::steady_clock::now();
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return RunResult{std::chrono::duration<double>(end - start).count(), usage.ru_maxrss};
}

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

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  if (!path) return false;
  std::string paths(path);
  std::size_t start = 0;
  while (start <= paths.size()) {
    std::size_t end = paths.find(':', start);
    if (end == std::string::npos) end = paths.size();
    std::filesystem::path candidate = std::filesystem::path(paths.substr(start, end - start)) / program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

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
  if (OnPath("gpsbabel")) {
    programs.push_back({"gpsbabel", {"gpsbabel", "-t", "-i", "nmea", "-f", log.string(), "-o", "unicsv", "-F",
                                     (directory.Path() / "gpsbabel.csv").string()},
                        {}});
  }

  // One untimed round brings the log into the page cache for every program.
  for (Program& p : programs) {
    if (!RunOnce(p.argv)) {
      std::fprintf(stderr, "%s failed on %s\n", p.name.c_str(), log.c_str());
      return 1;
    }
  }
  for (int run = 0; run < runs; ++run) {
    for (Program& p : programs) {
      std::optional<RunResult> result = RunOnce(p.argv);
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
