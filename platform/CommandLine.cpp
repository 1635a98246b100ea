#include "platform/CommandLine.h"

#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include <filesystem>

#include "platform/Utf8Path.h"
#endif

namespace quillon {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(Utf8Text(std::filesystem::path(wide[i])));
    ::LocalFree(wide);
    return arguments;
  }
#endif
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace quillon
