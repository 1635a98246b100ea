// Runs the quillon-convert program as a user would and checks its exit
// status, its messages and the bytes it writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "tests/cli/ConvertRun.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/export/XmlSchemaCheck.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

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
  if (!kChildZoneFollowsTz) GTEST_SKIP() << "the program's zone cannot be chosen here: see ConvertGolden.Taipei";
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
