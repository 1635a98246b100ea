#include "maps/MapFolders.h"

#include "platform/UserFolders.h"
#include "platform/Utf8Path.h"

namespace quillon {

std::string MapSourcesFilePath() { return Utf8Text(Utf8Path(UserConfigFolder()) / "map-sources.ini"); }

std::string TileCacheFolder() { return Utf8Text(Utf8Path(UserCacheFolder()) / "tiles"); }

}  // namespace quillon
