#include "platform/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {

#ifdef _WIN32

std::filesystem::path Utf8Path(std::string_view text) {
  if (text.empty()) return {};
  const int units = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  return std::filesystem::path(std::move(wide));
}

std::string Utf8Text(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes, nullptr, nullptr);
  return text;
}

std::FILE* OpenUtf8File(const std::string& path, const char* mode) {
  const std::wstring wideMode(mode, mode + std::char_traits<char>::length(mode));
  return ::_wfopen(Utf8Path(path).c_str(), wideMode.c_str());
}

#else

std::filesystem::path Utf8Path(std::string_view text) { return std::filesystem::path(text); }

std::string Utf8Text(const std::filesystem::path& path) { return path.native(); }

std::FILE* OpenUtf8File(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

#endif

}  // namespace quillon
