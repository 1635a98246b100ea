#include "maps/MapFolders.h"

#include <cstdlib>
#include <filesystem>

#include "platform/Utf8Path.h"

namespace quillon {
namespace {

// The XDG base folder named by `variable`, or `fallback` under the home
// folder; the XDG rules ignore a relative path.
std::filesystem::path BaseFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && *value && Utf8Path(value).is_absolute()) return Utf8Path(value);
  const char* home = std::getenv("HOME");
  return Utf8Path(home && *home ? home : ".") / fallback;
}

}  // namespace

std::string MapSourcesFilePath() {
  return Utf8Text(BaseFolder("XDG_CONFIG_HOME", ".config") / "quillon" / "map-sources.ini");
}

std::string TileCacheFolder() { return Utf8Text(BaseFolder("XDG_CACHE_HOME", ".cache") / "quillon" / "tiles"); }

}  // namespace quillon
