// Runs the quillon-convert program as a user would and checks its exit
// status, its messages and the bytes it writes.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <vector>

#include "tests/export/ExportTestSupport.h"

extern char** environ;

namespace quillon {
namespace {

namespace fs = std::filesystem;

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

class ConvertCommandTest : public ::testing::Test {
 protected:
  ConvertCommandTest() : cwd_(temp_.Path()) {
    fs::copy_file(testing::TestDataPath("export_three_fixes.txt"), temp_.Path() / kLogName);
  }

  RunResult Run(std::vector<std::string> args, const char* timeZone = "UTC") {
    args.insert(args.begin(), QUILLON_CONVERT_PATH);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    testing::TimeZoneScope zone(timeZone);
    const fs::path outPath = temp_.Path() / ".stdout";
    const fs::path errPath = temp_.Path() / ".stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    RunResult result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
      int status = 0;
      ::waitpid(pid, &status, 0);
      result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = testing::ReadFileBytes(outPath);
    result.err = testing::ReadFileBytes(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return result;
  }

  static constexpr const char* kLogName = "20080307140509_Rawdata_123456.txt";
  testing::TempFolder temp_;
  testing::ScopedWorkingDirectory cwd_;
};

TEST_F(ConvertCommandTest, WritesEveryFormatUnderTheToolsNames) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"csv", "20080307140509_LogData_123456.csv", "export_three_fixes.csv"},
      {"kml", "20080307140509_GoogleEarth_123456.kml", "export_three_fixes.kml"},
      {"trackmaker", "Trackmaker.txt", "export_three_fixes_trackmaker.txt"},
      {"locr", "20080307140509_locr_123456.txt", "export_three_fixes_locr.txt"},
  };
  for (const auto& [format, name, golden] : cases) {
    SCOPED_TRACE(format);
    RunResult r = Run({kLogName, "--format", format});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(name) + "\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / name), testing::ReadFileBytes(testing::TestDataPath(golden)));
  }
}

TEST_F(ConvertCommandTest, LocalTimeAndOutputPath) {
  RunResult r = Run({kLogName, "--local-time", "-o", "out.csv"}, "Asia/Taipei");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "out.csv"),
            testing::ReadFileBytes(testing::TestDataPath("export_three_fixes_taipei.csv")));
}

TEST_F(ConvertCommandTest, DateRangeAsTypedIntoTheBoxes) {
  RunResult r = Run({kLogName, "--from", "2008,03,07,15", "--to", "2008,03,07,23", "-o", "late.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "late.csv"),
            "Longitude,Latitude,Speed(kilometer),Course(degrees),Number Of Satellites,HDOP,Altitude(meters),"
            "DD/MM/YY,HH:MM:SS,Distance(meters)\r\nTotal distance : 0 meters");
  r = Run({kLogName, "--from", "08,03,07,14", "--to", "2008,03,07,14", "-o", "all.csv"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "all.csv"),
            testing::ReadFileBytes(testing::TestDataPath("export_three_fixes.csv")));
}

TEST_F(ConvertCommandTest, RefusedRangesPrintTheToolsMessage) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{kLogName, "--from", "2008,03,07,14", "--to", "2008,03,07,25"}, "Please check search range\n"},
      {{kLogName, "--from", "2008,13,07,14", "--to", "2008,03,07,14"}, "Please check search range\n"},
      {{kLogName, "--from", "2008,03,07", "--to", "2008,03,07,14"}, "Please set search date\n"},
      {{kLogName, "--from", "2008,03,07,14"}, "Please set search date\n"},
      {{kLogName, "--from", "2008,O3,07,14", "--to", "2008,03,07,14"}, "Please set search date\n"},
  };
  for (const auto& [args, message] : cases) {
    SCOPED_TRACE(args[2]);
    RunResult r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, message);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(fs::exists(temp_.Path() / "20080307140509_LogData_123456.csv"));
}

TEST_F(ConvertCommandTest, UnreadableInputAndUnwritableOutputExitWithOne) {
  RunResult r = Run({"missing.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-convert: cannot read 'missing.txt': no such file\n");

  fs::create_directory(temp_.Path() / "folder");
  r = Run({"folder"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-convert: cannot read 'folder': it is a folder\n");

  r = Run({kLogName, "-o", "no/such/folder/out.csv"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-convert: cannot write 'no/such/folder/out.csv'\n");

  testing::WriteFileBytes(temp_.Path() / "empty_Rawdata_1.txt", "no sentences here\r\n");
  r = Run({"empty_Rawdata_1.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-convert: 'empty_Rawdata_1.txt' holds no position fix; nothing written\n");
}

TEST_F(ConvertCommandTest, UsageErrorsAndHelp) {
  RunResult r = Run({kLogName, "--format", "gpx"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("quillon-convert: unknown format 'gpx'", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("Usage: quillon-convert RAWLOG"), std::string::npos);

  r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* text : {"--format csv|kml|trackmaker|locr", "--local-time", "--from Y,M,D,H", "--tag TEXT",
                           "-o OUT", "neither changes the locr client's", "Exit status"}) {
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace quillon
