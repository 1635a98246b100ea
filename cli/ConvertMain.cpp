#include <iostream>
#include <string>
#include <vector>

#include "cli/Convert.h"
#include "cli/ConvertOptions.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
  quillon::KeepStandardDescriptorsOpen();
  quillon::UseBinaryStandardStreams();
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  std::optional<quillon::ConvertOptions> options = quillon::ParseConvertOptions(args, error);
  if (!options) {
    std::cerr << "quillon-convert: " << error << "\n\n" << quillon::kConvertUsage;
    return quillon::kConvertRefused;
  }
  if (options->help) {
    std::cout << quillon::kConvertUsage;
    return quillon::kConvertOk;
  }
  return quillon::RunConvert(*options, std::cout, std::cerr);
}
