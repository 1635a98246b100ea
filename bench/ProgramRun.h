#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quillon::bench {

// How a program run as a child process went: wall time, CPU time (user and
// system) and its peak resident memory.
struct RunResult {
  double seconds = 0;
  double cpuSeconds = 0;
  long peakKilobytes = 0;
};

// Runs argv as a child process with its standard output and error written to
// the files given and TZ=UTC in its environment when `utc` is set; nothing
// when it could not be started or did not exit with 0.
std::optional<RunResult> RunMeasured(const std::vector<std::string>& argv, const std::string& out = "/dev/null",
                                     const std::string& err = "/dev/null", bool utc = false);

// The program's full path: `program` itself when it names a file, else the
// first match on PATH; nothing when there is none.
std::optional<std::string> FindProgram(const std::string& program);

}  // namespace quillon::bench
