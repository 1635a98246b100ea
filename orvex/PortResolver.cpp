#include "orvex/PortResolver.h"

#include <string>
#include <vector>

namespace quillon::orvex {

std::optional<std::filesystem::path> ResolveComPort(int port, const std::filesystem::path& workingDirectory) {
  namespace fs = std::filesystem;
  if (port < 1) return std::nullopt;
  std::error_code error;
  fs::path portsFolder = workingDirectory / "ports";
  if (fs::is_directory(portsFolder, error)) {
    fs::path entry = portsFolder / ("COM" + std::to_string(port));
    if (fs::exists(fs::symlink_status(entry, error))) return entry;
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
