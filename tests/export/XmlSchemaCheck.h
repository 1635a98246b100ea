#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

namespace quillon::testing {

// The GPX 1.1 schema bundle (with the track point extension) kept beside the
// source tree; empty when this checkout has none.
inline std::filesystem::path GpxSchemaPath() {
  const std::filesystem::path path = std::filesystem::path(QUILLON_SCHEMA_DIR) / "gpx-with-extensions.xsd";
  return std::filesystem::exists(path) ? path : std::filesystem::path();
}

inline bool HaveXmllint() { return std::system("xmllint --version >/dev/null 2>&1") == 0; }

// Runs xmllint on `document` against the GPX schema. Returns xmllint's
// complaints, empty when the document is valid.
inline std::string GpxSchemaErrors(const std::string& document, const std::string& label) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path();
  const std::filesystem::path file = dir / ("quillon-gpx-" + std::to_string(::getpid()) + ".gpx");
  const std::filesystem::path report = dir / ("quillon-gpx-" + std::to_string(::getpid()) + ".log");
  std::ofstream(file, std::ios::binary) << document;
  const std::string command = "xmllint --noout --schema '" + GpxSchemaPath().string() + "' '" + file.string() +
                              "' >'" + report.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  std::string errors;
  if (status != 0) {
    std::ifstream in(report);
    errors = label + ": xmllint exit " + std::to_string(status) + "\n" +
             std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::filesystem::remove(file);
  std::filesystem::remove(report);
  return errors;
}

#define QUILLON_SKIP_WITHOUT_GPX_SCHEMA()                                                  \
  do {                                                                                     \
    if (::quillon::testing::GpxSchemaPath().empty()) GTEST_SKIP() << "no GPX schema";      \
    if (!::quillon::testing::HaveXmllint()) GTEST_SKIP() << "xmllint is not installed";    \
  } while (false)

}  // namespace quillon::testing
