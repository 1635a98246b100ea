#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace quillon::orvex::testing {

// The built orvex-emulator, started in a folder of its own; it publishes its
// port in `portDir`. The destructor stops it with SIGTERM.
class EmulatorProcess {
 public:
  EmulatorProcess(const std::filesystem::path& portDir, int com, const std::vector<std::string>& extraArguments);
  ~EmulatorProcess();
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  bool Ready() const { return !readyLine_.empty(); }
  const std::string& ReadyLine() const { return readyLine_; }
  pid_t Pid() const { return pid_; }
  // Sends SIGTERM and waits; the exit status, or -1 when it did not end.
  int Stop();
  // Waits for the emulator to end by itself (it does after an unplug).
  int WaitForExit(int timeoutMs);

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  std::string readyLine_;
};

}  // namespace quillon::orvex::testing
