#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cli/ConvertOptions.h"
#include "geotag/PhotoGeotag.h"

namespace quillon {

// What the command line of quillon-geotag asks for.
struct GeotagOptions {
  bool help = false;
  std::string rawLog;
  // Photos and folders, as given.
  std::vector<std::string> photos;
  bool recursive = false;
  GeotagRequest request;
  ConvertRange range = ConvertRange::kAll;
  std::array<std::string, 8> dateTexts;
  std::string tagText;
};

// Parses the arguments after the program name. Sets `error` and returns
// nothing when they do not form a command.
std::optional<GeotagOptions> ParseGeotagOptions(const std::vector<std::string>& args, std::string& error);

extern const char kGeotagUsage[];

}  // namespace quillon
