#pragma once

#include <string>

namespace quillon {

// The current user's folders for Quillon's settings files and for data it can
// fetch again (UTF-8 paths, not made here):
//   Linux:   $XDG_CONFIG_HOME/quillon and $XDG_CACHE_HOME/quillon, with
//            ~/.config and ~/.cache in place of an unset or relative variable
//   Windows: %APPDATA%\Quillon and %LOCALAPPDATA%\Quillon, with the system's
//            own folders of those names in place of an unset or relative
//            variable
std::string UserConfigFolder();
std::string UserCacheFolder();

}  // namespace quillon
