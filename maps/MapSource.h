#pragma once

#include <string>
#include <utility>
#include <vector>

namespace quillon {

// Where the tiles of one map come from. The URL template names the tile with
// {z}, {x} and {y} (rows counted from the north, as most servers do) or {-y}
// (rows counted from the south, the TMS order). A source with an empty
// template ("None") draws no map.
struct MapSource {
  std::string name;
  std::string urlTemplate;
  int minZoom = 0;
  int maxZoom = 19;
  int tileSize = 256;
  std::string attribution;
  std::vector<std::pair<std::string, std::string>> headers;

  bool HasTiles() const { return !urlTemplate.empty(); }
};

inline constexpr int kMaxTileZoom = 30;

// "None" first, then "OpenStreetMap".
std::vector<MapSource> BuiltInMapSources();

// The template with the tile's numbers put in; y counts rows from the north
// and becomes 2^z - 1 - y where the template asks for {-y}.
std::string FormatTileUrl(const std::string& urlTemplate, int z, int x, int y);

// The host named by an http(s) URL ("tile.openstreetmap.org"), for messages;
// the whole text when it is no such URL.
std::string UrlHost(const std::string& url);

}  // namespace quillon
