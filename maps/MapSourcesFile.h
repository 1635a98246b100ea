#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "maps/MapSource.h"

namespace quillon {

// One line of a sources file that was not taken, and why.
struct MapSourcesError {
  int line = 0;
  std::string message;
};

struct MapSourcesFile {
  std::vector<MapSource> sources;
  std::vector<MapSourcesError> errors;
};

// Reads the user's map sources (docs/maps.md). A section per source:
//
//   # Comments start with # or ;
//   [OpenTopoMap]
//   url = https://tile.opentopomap.org/{z}/{x}/{y}.png
//   min-zoom = 0
//   max-zoom = 17
//   tile-size = 256
//   attribution = Map data © OpenStreetMap contributors, SRTM | style © OpenTopoMap
//   header = Referer: https://example.org/
//
// url is required; the others have the defaults of MapSource. A line that is
// not understood is left out with an error naming its number; a section
// whose url is missing or unusable is left out whole. Names are unique
// (without regard to ASCII case) among themselves and `takenNames`.
MapSourcesFile ParseMapSources(std::string_view text, const std::vector<std::string>& takenNames = {});

// "map-sources.ini:12: unknown key \"colour\"".
std::string DescribeError(const std::string& fileName, const MapSourcesError& error);

// The built-in sources followed by those of the file at `path`; a missing
// file is no error, one that cannot be read is one (line 0).
MapSourcesFile LoadMapSources(const std::string& path);

}  // namespace quillon
