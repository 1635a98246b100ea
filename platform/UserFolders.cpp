#include "platform/UserFolders.h"

#include <filesystem>
#include <string>

#include "platform/Utf8Path.h"

#ifdef _WIN32
#include <windows.h>
#include <shlobj.h>
#else
#include <cstdlib>
#endif

namespace quillon {
namespace {

#ifdef _WIN32

// The variable through the wide environment, so that a folder outside the
// ANSI code page comes through whole.
std::filesystem::path Variable(const wchar_t* name) {
  const DWORD units = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (units <= 1) return {};
  std::wstring value(units, L'\0');
  value.resize(::GetEnvironmentVariableW(name, value.data(), units));
  return std::filesystem::path(std::move(value));
}

std::filesystem::path KnownFolder(const KNOWNFOLDERID& id) {
  PWSTR folder = nullptr;
  std::filesystem::path path;
  if (::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &folder) == S_OK) path = folder;
  ::CoTaskMemFree(folder);
  return path;
}

// The folder the variable names when it is an absolute path, otherwise the
// known folder it usually names; the working folder when even that fails.
std::filesystem::path BaseFolder(const wchar_t* variable, const KNOWNFOLDERID& id) {
  if (std::filesystem::path value = Variable(variable); value.is_absolute()) return value;
  if (std::filesystem::path known = KnownFolder(id); known.is_absolute()) return known;
  return L".";
}

constexpr const wchar_t* kProgramFolder = L"Quillon";

std::filesystem::path ConfigBase() { return BaseFolder(L"APPDATA", FOLDERID_RoamingAppData); }
std::filesystem::path CacheBase() { return BaseFolder(L"LOCALAPPDATA", FOLDERID_LocalAppData); }

#else

// The XDG base folder named by `variable`, or `fallback` under the home
// folder; the XDG rules ignore a relative path.
std::filesystem::path BaseFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value && Utf8Path(value).is_absolute()) return Utf8Path(value);
  const char* home = std::getenv("HOME");
  return Utf8Path(home && *home ? home : ".") / fallback;
}

constexpr const char* kProgramFolder = "quillon";

std::filesystem::path ConfigBase() { return BaseFolder("XDG_CONFIG_HOME", ".config"); }
std::filesystem::path CacheBase() { return BaseFolder("XDG_CACHE_HOME", ".cache"); }

#endif

}  // namespace

std::string UserConfigFolder() { return Utf8Text(ConfigBase() / kProgramFolder); }

std::string UserCacheFolder() { return Utf8Text(CacheBase() / kProgramFolder); }

}  // namespace quillon
