#pragma once

namespace quillon::testing {

// The environment variables that name the user's settings and cache folders
// (platform/UserFolders.h), and the folder Quillon keeps under each, so that
// a test can give the program folders of its own.
#ifdef _WIN32
inline constexpr const char* kConfigHomeVariable = "APPDATA";
inline constexpr const char* kCacheHomeVariable = "LOCALAPPDATA";
inline constexpr const char* kProgramFolderName = "Quillon";
#else
inline constexpr const char* kConfigHomeVariable = "XDG_CONFIG_HOME";
inline constexpr const char* kCacheHomeVariable = "XDG_CACHE_HOME";
inline constexpr const char* kProgramFolderName = "quillon";
#endif

}  // namespace quillon::testing
