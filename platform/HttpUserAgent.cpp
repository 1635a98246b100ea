#include <string>

#include "platform/HttpClient.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/utsname.h>
#endif

#ifndef QUILLON_VERSION
#error "QUILLON_VERSION must name the program's version"
#endif

namespace quillon {
namespace {

// The system's name and its processor, as uname names them on Linux
// ("Linux x86_64"). Windows is named with the machine's own processor, so a
// 32-bit Quillon on 64-bit Windows says x86_64, as uname does for a 32-bit
// program on a 64-bit kernel.
std::string OperatingSystem() {
#ifdef _WIN32
  SYSTEM_INFO system{};
  ::GetNativeSystemInfo(&system);
  switch (system.wProcessorArchitecture) {
    case PROCESSOR_ARCHITECTURE_AMD64:
      return "Windows x86_64";
    case PROCESSOR_ARCHITECTURE_INTEL:
      return "Windows x86";
    case PROCESSOR_ARCHITECTURE_ARM64:
      return "Windows aarch64";
    default:
      return "Windows";
  }
#else
  utsname system{};
  if (::uname(&system) != 0) return "Linux";
  return std::string(system.sysname) + " " + system.machine;
#endif
}

}  // namespace

std::string QuillonUserAgent() { return std::string("Quillon/") + QUILLON_VERSION + " (" + OperatingSystem() + ")"; }

}  // namespace quillon
