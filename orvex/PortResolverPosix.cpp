#include "orvex/PortResolver.h"

#include <signal.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <string>
#include <vector>

namespace quillon::orvex {
namespace {

// A published port is trusted only while its publisher runs: the link of a
// program that was killed stays, and once its terminal number goes to another
// program the link leads into that program's terminal.
bool PublisherRuns(const std::filesystem::path& entry) {
  std::ifstream in(entry.string() + ".pid");
  long long pid = 0;
  if (!(in >> pid) || pid <= 0 || pid > INT_MAX) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

std::optional<std::filesystem::path> ResolveComPort(int port, const std::filesystem::path& workingDirectory) {
  namespace fs = std::filesystem;
  if (port < 1) return std::nullopt;
  std::error_code error;
  fs::path portsFolder = workingDirectory / "ports";
  if (fs::is_directory(portsFolder, error)) {
    fs::path entry = portsFolder / ("COM" + std::to_string(port));
    if (fs::exists(fs::symlink_status(entry, error)) && PublisherRuns(entry)) return entry;
    return std::nullopt;
  }
  std::vector<fs::path> devices;
  for (const char* family : {"/dev/ttyUSB", "/dev/ttyACM"}) {
    for (int i = 0; i < 10; ++i) {
      fs::path device = family + std::to_string(i);
      if (fs::exists(device, error)) devices.push_back(device);
    }
  }
  if (static_cast<std::size_t>(port) > devices.size()) return std::nullopt;
  return devices[static_cast<std::size_t>(port) - 1];
}

}  // namespace quillon::orvex
