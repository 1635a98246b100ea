#include <iostream>
#include <string>
#include <vector>

#include "cli/Convert.h"
#include "cli/ConvertOptions.h"
#include "platform/CommandLine.h"
#include "platform/StandardStreams.h"

int main(int argc, char** argv) {
  quillon::KeepStandardDescriptorsOpen();
  quillon::UseBinaryStandardStreams();
  const std::vector<std::string> args = quillon::Utf8Arguments(argc, argv);
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
