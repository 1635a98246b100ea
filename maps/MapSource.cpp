#include "maps/MapSource.h"

#include <cstdint>
#include <string_view>

namespace quillon {

std::vector<MapSource> BuiltInMapSources() {
  MapSource none;
  none.name = "None";
  MapSource osm;
  osm.name = "OpenStreetMap";
  osm.urlTemplate = "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  osm.minZoom = 0;
  osm.maxZoom = 19;
  osm.tileSize = 256;
  osm.attribution = "\xC2\xA9 OpenStreetMap contributors";
  return {none, osm};
}

std::string FormatTileUrl(const std::string& urlTemplate, int z, int x, int y) {
  const std::int64_t rows = std::int64_t{1} << z;
  const std::pair<std::string_view, std::int64_t> fields[] = {
      {"{z}", z}, {"{x}", x}, {"{y}", y}, {"{-y}", rows - 1 - y}};
  std::string url;
  url.reserve(urlTemplate.size() + 16);
  std::size_t i = 0;
  while (i < urlTemplate.size()) {
    bool replaced = false;
    if (urlTemplate[i] == '{') {
      const std::string_view rest = std::string_view(urlTemplate).substr(i);
      for (const auto& [field, value] : fields) {
        if (rest.starts_with(field)) {
          url += std::to_string(value);
          i += field.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) url += urlTemplate[i++];
  }
  return url;
}

std::string UrlHost(const std::string& url) {
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) return url;
  const std::size_t start = scheme + 3;
  std::size_t end = url.find_first_of("/?#", start);
  if (end == std::string::npos) end = url.size();
  std::string host = url.substr(start, end - start);
  if (const std::size_t at = host.rfind('@'); at != std::string::npos) host.erase(0, at + 1);
  if (const std::size_t colon = host.rfind(':'); colon != std::string::npos && host.find(']') == std::string::npos) {
    host.erase(colon);
  }
  return host;
}

}  // namespace quillon
