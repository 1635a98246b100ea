#pragma once

#include <string>

namespace quillon {

// $XDG_CONFIG_HOME/quillon/map-sources.ini, with ~/.config in place of an
// unset or relative XDG_CONFIG_HOME.
std::string MapSourcesFilePath();

// $XDG_CACHE_HOME/quillon/tiles, with ~/.cache in place of an unset or
// relative XDG_CACHE_HOME.
std::string TileCacheFolder();

}  // namespace quillon
