#include "orvex/PortResolver.h"

#include <string>

namespace quillon::orvex {

// Windows names its serial ports itself; the device namespace reaches COM10
// and above, which the plain names do not.
std::optional<std::filesystem::path> ResolveComPort(int port, const std::filesystem::path&) {
  if (port < 1) return std::nullopt;
  return std::filesystem::path(L"\\\\.\\COM" + std::to_wstring(port));
}

}  // namespace quillon::orvex
