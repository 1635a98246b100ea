#include "platform/WorkingDirectory.h"

#include <filesystem>
#include <system_error>

namespace quillon {

std::string GetWorkingDirectory() {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::current_path(ec);
  return ec ? std::string() : path.string();
}

bool SetWorkingDirectory(const std::string& path) {
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::current_path(path, ec);
  return !ec;
}

bool CreateFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::create_directory(path, ec) && !ec;
}

}  // namespace quillon
