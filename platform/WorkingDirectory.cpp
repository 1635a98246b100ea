#include "platform/WorkingDirectory.h"

#include <filesystem>
#include <system_error>

#include "platform/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {

#ifdef _WIN32

// The wide functions reach folders whose names the ANSI code page cannot
// spell; the rest of the program holds the names as UTF-8 text.
std::string GetWorkingDirectory() {
  DWORD size = ::GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return std::string();
  std::wstring buffer(size, L'\0');
  DWORD length = ::GetCurrentDirectoryW(size, buffer.data());
  if (length == 0 || length >= size) return std::string();
  buffer.resize(length);
  return Utf8Text(std::filesystem::path(std::move(buffer)));
}

// A working directory is limited to MAX_PATH characters (with its final
// backslash) for programs that are not long-path aware; Wine would take a
// longer one and then give broken relative paths, so it is refused here as
// Windows refuses it.
bool SetWorkingDirectory(const std::string& path) {
  if (path.empty()) return false;
  const std::filesystem::path folder = Utf8Path(path);
  if (folder.native().size() + 2 > MAX_PATH) {
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  return ::SetCurrentDirectoryW(folder.c_str()) != 0;
}

bool CreateFolder(const std::string& path) {
  if (path.empty()) return false;
  return ::CreateDirectoryW(Utf8Path(path).c_str(), nullptr) != 0;
}

#else

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

#endif

}  // namespace quillon
