// Runs the quillon-convert program as a user would and checks its exit
// status, its messages and the bytes it writes.

#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/export/ExportTestSupport.h"
#include "tests/export/XmlSchemaCheck.h"

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
      result.status = WaitBriefly(pid);
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = testing::ReadFileBytes(outPath);
    result.err = testing::ReadFileBytes(errPath);
    fs::remove(outPath);
    fs::remove(errPath);
    return result;
  }

  // The exit status, or -1 for a program that had to be stopped: a
  // conversion that hangs fails its test instead of the whole run.
  static int WaitBriefly(pid_t pid) {
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (::waitpid(pid, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ADD_FAILURE() << "quillon-convert did not end";
        return -1;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

// The GPX of a tagged log under the GUI's name, in UTC whatever --local-time
// says; a range and fixes without a position still give valid documents.
TEST_F(ConvertCommandTest, GpxIsTheToolsDocumentForEveryRange) {
  const std::string gpxLog = "20080312064506_Rawdata_1234567.txt";
  const std::string gpxName = "20080312064506_LogData_1234567.gpx";
  fs::copy_file(testing::TestDataPath("export_gpx_tagged.txt"), temp_.Path() / gpxLog);
  const std::string golden = testing::ReadFileBytes(testing::TestDataPath("export_gpx_tagged.gpx"));
  std::string broken = testing::ReadFileBytes(temp_.Path() / gpxLog);
  broken += "--7,$GPGGA,064551.000,,,,,1,08,1.10,15.0,M,,M,,*00\r\n"
            "--7,$GPRMC,064551.000,A,,,,,8.00,40.00,120308,,,A*00\r\n"
            "--7,$GPGGA,064556.000,9130.0000,N,12134.0049,E,1,08,1.10,15.0,M,,M,,*00\r\n"
            "--7,$GPRMC,064556.000,A,9130.0000,N,12134.0049,E,8.00,40.00,120308,,,A*00\r\n";
  testing::WriteFileBytes(temp_.Path() / "broken_Rawdata_9.txt", broken);
  struct Case {
    const char* name;
    std::vector<std::string> args;
    const char* timeZone;
    std::string output;
    std::string err;
    bool isGolden;
    std::size_t trackPoints;
    const char* trackName;
  };
  const Case cases[] = {
      {"all, default name", {gpxLog, "--format", "gpx"}, "UTC", gpxName, "", true, 9, "20080312064506"},
      {"local time", {gpxLog, "--format", "gpx", "--local-time", "-o", "local.gpx"}, "Asia/Taipei", "local.gpx", "",
       true, 9, "20080312064506"},
      {"tag", {gpxLog, "--format", "gpx", "--tag", "002", "-o", "tag.gpx"}, "UTC", "tag.gpx", "", false, 2,
       "20080312064506"},
      {"no position", {"broken_Rawdata_9.txt", "--format", "gpx", "--tag", "7", "-o", "broken.gpx"}, "UTC",
       "broken.gpx", "quillon-convert: 2 fixes without a usable position left out\n", false, 0, "broken"},
  };
  const bool validate = !testing::GpxSchemaPath().empty() && testing::HaveXmllint();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunResult r = Run(c.args, c.timeZone);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.output + "\n");
    EXPECT_EQ(r.err, c.err);
    const std::string gpx = testing::ReadFileBytes(temp_.Path() / c.output);
    if (c.isGolden) {
      EXPECT_EQ(gpx, golden);
    }
    std::size_t points = 0;
    for (std::size_t at = gpx.find("<trkpt "); at != std::string::npos; at = gpx.find("<trkpt ", at + 1)) ++points;
    EXPECT_EQ(points, c.trackPoints);
    EXPECT_NE(gpx.find("<trk>\n    <name>" + std::string(c.trackName) + "</name>"), std::string::npos) << gpx;
    if (validate) {
      EXPECT_EQ(testing::GpxSchemaErrors(gpx, c.name), "");
    }
  }
  if (!validate) GTEST_SKIP() << "no GPX schema or no xmllint: documents not validated";
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

TEST_F(ConvertCommandTest, InputThatIsNoRegularFileIsRefusedAtOnceWithItsCause) {
  fs::create_directory(temp_.Path() / "folder");
  ASSERT_EQ(::mkfifo((temp_.Path() / "idle.fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo((temp_.Path() / "fed.fifo").c_str(), 0600), 0);
  // A writer holds the second pipe open and has put data in it.
  const int writer = ::open((temp_.Path() / "fed.fifo").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "$GPGGA,", 7), 7);
  const std::string longName(300, 'n');
  std::string longPath;
  while (longPath.size() < 5000) longPath += "d/";
  longPath += "log.txt";

  const std::pair<std::string, std::string> cases[] = {
      {"missing.txt", "no such file"},
      {"missing/log.txt", "no such file"},
      {"folder", "it is a folder"},
      {"idle.fifo", "it is not a regular file: a pipe"},
      {"fed.fifo", "it is not a regular file: a pipe"},
      {"/dev/zero", "it is not a regular file: a device"},
      {"/dev/null", "it is not a regular file: a device"},
      {longName, "the name is longer than the system allows"},
      {longPath, "the name is longer than the system allows"},
  };
  for (const auto& [input, cause] : cases) {
    SCOPED_TRACE(input.substr(0, 40));
    RunResult r = Run({input});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillon-convert: cannot read '" + input + "': " + cause + "\n");
    EXPECT_EQ(r.out, "");
  }
  ::close(writer);
}

TEST_F(ConvertCommandTest, UnwritableOutputExitsWithOneAndTheCause) {
  fs::create_directory(temp_.Path() / "folder");
  fs::create_symlink("nodir/t.csv", temp_.Path() / "dangling.csv");
  fs::create_symlink("dangling.csv", temp_.Path() / "chain.csv");
  fs::create_symlink("folder", temp_.Path() / "tofolder.csv");
  fs::create_symlink("loop.csv", temp_.Path() / "loop.csv");
  const std::pair<std::string, std::string> cases[] = {
      {"no/such/folder/out.csv", "its folder does not exist"},
      {"folder", "it is a folder"},
      {"dangling.csv", "it leads to 'nodir/t.csv', whose folder does not exist"},
      {"chain.csv", "it leads to 'nodir/t.csv', whose folder does not exist"},
      {"tofolder.csv", "it leads to 'folder', which is a folder"},
      {"loop.csv", "it is a link that leads round in a circle"},
  };
  for (const auto& [output, cause] : cases) {
    SCOPED_TRACE(output);
    RunResult r = Run({kLogName, "-o", output});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillon-convert: cannot write '" + output + "': " + cause + "\n");
    EXPECT_EQ(r.out, "");
  }
  // The links are kept as they were, and nothing was made where they point.
  EXPECT_EQ(fs::read_symlink(temp_.Path() / "dangling.csv"), "nodir/t.csv");
  EXPECT_EQ(fs::read_symlink(temp_.Path() / "chain.csv"), "dangling.csv");
  EXPECT_EQ(fs::read_symlink(temp_.Path() / "loop.csv"), "loop.csv");
  EXPECT_FALSE(fs::exists(temp_.Path() / "nodir"));
  EXPECT_TRUE(fs::is_empty(temp_.Path() / "folder"));

  testing::WriteFileBytes(temp_.Path() / "empty_Rawdata_1.txt", "no sentences here\r\n");
  RunResult r = Run({"empty_Rawdata_1.txt"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "quillon-convert: 'empty_Rawdata_1.txt' holds no position fix; nothing written\n");
}

// Standard output (or error) redirected to a file and named with -o: the
// file holds the data alone, with no path printed over its first bytes.
TEST_F(ConvertCommandTest, OutputNamingAnOpenStreamGetsTheDataAlone) {
  const std::string csv = testing::ReadFileBytes(testing::TestDataPath("export_three_fixes.csv"));
  fs::create_symlink("/dev/stdout", temp_.Path() / "screen.csv");
  for (const char* output : {"/dev/stdout", "/dev/fd/1", "/proc/self/fd/1", "screen.csv"}) {
    SCOPED_TRACE(output);
    RunResult r = Run({kLogName, "-o", output});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, csv);
    EXPECT_EQ(r.err, "");
  }
  RunResult r = Run({kLogName, "-o", "/dev/stderr"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, csv);
}

TEST_F(ConvertCommandTest, OutputThatIsTheRawLogItselfIsRefused) {
  const std::string log = testing::ReadFileBytes(temp_.Path() / kLogName);
  fs::create_symlink(kLogName, temp_.Path() / "soft.txt");
  fs::create_hard_link(temp_.Path() / kLogName, temp_.Path() / "hard.txt");
  fs::create_directory(temp_.Path() / "sub");
  fs::copy_file(temp_.Path() / kLogName, temp_.Path() / "Trackmaker.txt");
  const std::string here = temp_.Path().filename().string();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{kLogName, "-o", kLogName}, kLogName},
      {{kLogName, "-o", std::string("./") + kLogName}, std::string("./") + kLogName},
      {{kLogName, "-o", "sub/../" + std::string(kLogName)}, "sub/../" + std::string(kLogName)},
      {{kLogName, "-o", "../" + here + "/" + kLogName}, "../" + here + "/" + kLogName},
      {{kLogName, "-o", (temp_.Path() / kLogName).string()}, (temp_.Path() / kLogName).string()},
      {{kLogName, "-o", "soft.txt"}, "soft.txt"},
      {{"soft.txt", "-o", kLogName}, kLogName},
      {{kLogName, "-o", "hard.txt"}, "hard.txt"},
      {{"Trackmaker.txt", "--format", "trackmaker"}, "Trackmaker.txt"},
  };
  for (const auto& [args, output] : cases) {
    SCOPED_TRACE(output);
    RunResult r = Run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "quillon-convert: the output '" + output + "' is the raw log itself; nothing written\n");
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / kLogName), log);
  EXPECT_EQ(testing::ReadFileBytes(temp_.Path() / "Trackmaker.txt"), log);
  EXPECT_TRUE(fs::is_symlink(temp_.Path() / "soft.txt"));
  EXPECT_EQ(std::distance(fs::directory_iterator(temp_.Path()), fs::directory_iterator()), 5);
}

TEST_F(ConvertCommandTest, UsageErrorsAndHelp) {
  RunResult r = Run({kLogName, "--format", "gpx10"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("quillon-convert: unknown format 'gpx10'", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("Usage: quillon-convert RAWLOG"), std::string::npos);

  r = Run({"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  for (const char* text : {"--format csv|kml|trackmaker|locr|gpx", "--local-time", "--from Y,M,D,H", "--tag TEXT",
                           "-o OUT", "neither changes the locr client's", "Exit status"}) {
    EXPECT_NE(r.out.find(text), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace quillon
