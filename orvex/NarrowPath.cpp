#include "orvex/NarrowPath.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon::orvex {

#ifdef _WIN32

std::filesystem::path NarrowPath(const std::string& text) {
  if (text.empty()) return {};
  const int units = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), units);
  return std::filesystem::path(std::move(wide));
}

std::string NarrowText(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (wide.empty()) return {};
  const int bytes =
      ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), bytes, nullptr, nullptr);
  return text;
}

#else

std::filesystem::path NarrowPath(const std::string& text) { return std::filesystem::path(text); }

std::string NarrowText(const std::filesystem::path& path) { return path.native(); }

#endif

}  // namespace quillon::orvex
