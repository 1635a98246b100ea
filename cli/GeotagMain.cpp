#include <iostream>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <string>
#include <vector>

#include "cli/Geotag.h"
#include "cli/GeotagOptions.h"
#include "platform/CommandLine.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
#if defined(__GLIBC__)
  // Each photo passes through a few buffers of its size. The allocator keeps
  // them for the next photo instead of handing them back to the system and
  // taking fresh zeroed pages for every photo.
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 256 << 20);
#endif
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
