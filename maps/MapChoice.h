#pragma once

#include <optional>
#include <string>
#include <vector>

#include "maps/MapSource.h"

namespace quillon {

// One entry of the Track View's map drop-down: a source of the sources file
// (or a built-in one) or an MBTiles file the user opened.
struct MapChoice {
  std::string label;
  MapSource source;  // for a file: its name, zooms and attribution
  std::string file;  // the MBTiles file; empty for a server source

  bool IsFile() const { return !file.empty(); }
  bool DrawsMap() const { return IsFile() || source.HasTiles(); }
};

// The drop-down's last entry, which asks for an MBTiles file to add.
inline constexpr char kOpenMapFileLabel[] = "Open Map File...";

// Where the chosen map is remembered in the per-user key store.
inline constexpr char kTrackViewKey[] = "Software\\Quillon\\TrackView";
inline constexpr char kMapValue[] = "Map";

std::vector<MapChoice> ChoicesFromSources(const std::vector<MapSource>& sources);

// An entry for an MBTiles file, labelled "<name> (file)" after its metadata
// name or, without one, the file's name.
MapChoice FileChoice(const std::string& path, const std::string& metadataName, const std::string& attribution,
                     int minZoom, int maxZoom);

// How a choice is remembered: the source's name, or "file:" and the path.
std::string RememberedText(const MapChoice& choice);
// The file a remembered text names, if it names one.
std::optional<std::string> RememberedFile(const std::string& text);
// The index of the remembered choice; 0 (no map) when it is no longer there.
std::size_t FindRemembered(const std::vector<MapChoice>& choices, const std::string& text);

}  // namespace quillon
