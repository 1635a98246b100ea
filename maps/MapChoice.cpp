#include "maps/MapChoice.h"

#include <filesystem>

#include "platform/Utf8Path.h"

namespace quillon {

namespace {

constexpr char kFilePrefix[] = "file:";

}  // namespace

std::vector<MapChoice> ChoicesFromSources(const std::vector<MapSource>& sources) {
  std::vector<MapChoice> choices;
  for (const MapSource& source : sources) choices.push_back({source.name, source, {}});
  return choices;
}

MapChoice FileChoice(const std::string& path, const std::string& metadataName, const std::string& attribution,
                     int minZoom, int maxZoom) {
  MapChoice choice;
  const std::string name = metadataName.empty() ? Utf8Text(Utf8Path(path).filename()) : metadataName;
  choice.label = name + " (file)";
  choice.file = path;
  choice.source.name = name;
  choice.source.attribution = attribution;
  // A file that does not say which zooms it holds is asked for every zoom.
  choice.source.minZoom = minZoom >= 0 ? minZoom : 0;
  choice.source.maxZoom = maxZoom >= choice.source.minZoom ? maxZoom : kMaxTileZoom;
  return choice;
}

std::string RememberedText(const MapChoice& choice) {
  return choice.IsFile() ? kFilePrefix + choice.file : choice.source.name;
}

std::optional<std::string> RememberedFile(const std::string& text) {
  if (!text.starts_with(kFilePrefix) || text.size() == sizeof kFilePrefix - 1) return std::nullopt;
  return text.substr(sizeof kFilePrefix - 1);
}

std::size_t FindRemembered(const std::vector<MapChoice>& choices, const std::string& text) {
  for (std::size_t i = 0; i < choices.size(); ++i) {
    if (RememberedText(choices[i]) == text) return i;
  }
  return 0;
}

}  // namespace quillon
