#pragma once

#include <string>

namespace quillon {

// map-sources.ini in the user's Quillon settings folder (UserConfigFolder):
// $XDG_CONFIG_HOME/quillon on Linux, %APPDATA%\Quillon on Windows.
std::string MapSourcesFilePath();

// tiles in the user's Quillon cache folder (UserCacheFolder):
// $XDG_CACHE_HOME/quillon on Linux, %LOCALAPPDATA%\Quillon on Windows.
std::string TileCacheFolder();

}  // namespace quillon
