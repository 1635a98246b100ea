#include <iostream>
#include <string>
#include <vector>

#include "cli/Geotag.h"
#include "cli/GeotagOptions.h"
#include "platform/CommandLine.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
  quillon::KeepStandardDescriptorsOpen();
  quillon::UseBinaryStandardStreams();
  const std::vector<std::string> args = quillon::Utf8Arguments(argc, argv);
  std::string error;
  std::optional<quillon::GeotagOptions> options = quillon::ParseGeotagOptions(args, error);
  if (!options) {
    std::cerr << "quillon-geotag: " << error << "\n\n" << quillon::kGeotagUsage;
    return 2;
  }
  if (options->help) {
    std::cout << quillon::kGeotagUsage;
    return 0;
  }
  return quillon::RunGeotag(*options, std::cout, std::cerr);
}
