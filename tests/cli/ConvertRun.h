#pragma once

// Runs the quillon-convert program as a user would: in a fresh working folder
// that holds a raw log, with standard output and error caught in files.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/export/ExportTestSupport.h"
#include "tests/support/ProgramRun.h"

namespace quillon {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class ConvertCommandTest : public ::testing::Test {
 protected:
  ConvertCommandTest() : cwd_(temp_.Path()) {
    std::filesystem::copy_file(testing::TestDataPath("export_three_fixes.txt"), temp_.Path() / kLogName);
  }

  // The program's time zone: see kChildZoneFollowsTz.
  RunResult Run(std::vector<std::string> args, const char* timeZone = "UTC") {
    args.insert(args.begin(), QUILLON_CONVERT_PATH);
    testing::TimeZoneScope zone(timeZone);
    const std::filesystem::path outPath = temp_.Path() / ".stdout";
    const std::filesystem::path errPath = temp_.Path() / ".stderr";
    RunResult result;
    result.status = RunProgram(args, outPath, errPath);
    result.out = testing::ReadFileBytes(outPath);
    result.err = testing::ReadFileBytes(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return result;
  }

  static constexpr const char* kLogName = "20080307140509_Rawdata_123456.txt";
  testing::TempFolder temp_;
  testing::ScopedWorkingDirectory cwd_;
};

}  // namespace quillon
