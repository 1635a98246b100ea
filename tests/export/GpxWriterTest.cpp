// The GPX writer over awkward logs written as NMEA text and parsed as a
// reload parses them; every document must validate against the published
// GPX 1.1 and TrackPointExtension v2 schemas.

#include "export/GpxWriter.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "logdata/RawLogLoader.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/export/XmlSchemaCheck.h"

namespace quillon {
namespace {

struct Pos {
  std::string latitude = "2503.1234";
  std::string northSouth = "N";
  std::string longitude = "12130.5678";
  std::string eastWest = "E";
};

// One fix as the logger writes it: GGA then RMC, both with the tag field.
std::string Fix(const std::string& tag, const std::string& time, const std::string& date, const Pos& p = {},
                const std::string& speed = "8.00", const std::string& course = "40.00",
                const std::string& altitude = "12.3") {
  const std::string where = p.latitude + "," + p.northSouth + "," + p.longitude + "," + p.eastWest;
  return tag + ",$GPGGA," + time + "," + where + ",1,08,1.10," + altitude + ",M,,M,,*00\r\n" + tag + ",$GPRMC," +
         time + ",A," + where + "," + speed + "," + course + "," + date + ",,,A*00\r\n";
}

AppState Parse(const std::string& text) {
  AppState state;
  state.rawLogText = MakeSharedText("@Logger memory dump\r\n" + text);
  ParseRawLog(state);
  state.selectionList = state.fixList;
  return state;
}

std::string Render(const FixList& selection, GpxCounts* counts = nullptr) {
  std::ostringstream out;
  const GpxCounts written = WriteGpx(out, selection, "20080312064506");
  if (counts) *counts = written;
  return out.str();
}

std::size_t Occurrences(const std::string& text, const std::string& piece) {
  std::size_t n = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

struct GpxCase {
  const char* name;
  std::string log;
  std::size_t trackPoints;
  std::size_t waypoints;
  std::size_t leftOut;
  std::size_t segments;
  std::vector<std::string> present;
  std::vector<std::string> absent;
};

std::vector<GpxCase> Cases() {
  const Pos equatorNorth{"0000.0060", "N", "00959.9940", "E"};
  const Pos equatorSouth{"0000.0060", "S", "01000.0060", "E"};
  return {
      {"EmptySelection", "", 0, 0, 0, 0, {"<trk>\n    <name>20080312064506</name>\n  </trk>"}, {"<bounds", "<time>"}},
      {"DamagedLog",
       Fix("---", "064506.000", "120308") + "Checksum error,$GPGGA,064507.000,2503.12\r\n" +
           "---,$GPGGA,064508.000,25\x01\xff,N,12130.5678,E,1,08,1.1,12.3,M,,M,,*00\r\n" +
           "---,$GPRMC,064508.000,A,25\x01\xff,N,12130.5678,E,abc,4\x02,120308,,,A*00\r\n" +
           "---,$GPGGA,064509.000,2503.1234,N,12130.5678,E,1,-3,nan,inf,M,,M,,*00\r\n" +
           "---,$GPRMC,064509.000,A,2503.1234,N,12130.5678,E,-2.5,361.0,120308,,,A*00\r\n" +
           "---,$GPRMC,064510.000,A,2503.1234,N,12130.5678,E,1.0,1.0,120308",
       2, 0, 1, 1,
       {"<time>2008-03-12T06:45:09Z</time>\n        <hdop>0</hdop>\n      </trkpt>"},
       {"<sat>-", "inf", "nan", "361", "-2.5", "1.287", "0.514"}},
      {"MidnightAndYearChange",
       Fix("---", "235959.000", "311207") + Fix("---", "000000.000", "010108") + Fix("---", "000001.000", "290208"),
       3, 0, 0, 1,
       {"<time>2007-12-31T23:59:59Z</time>", "<time>2008-01-01T00:00:00Z</time>", "<time>2008-02-29T00:00:01Z</time>",
        "<metadata>\n    <time>2007-12-31T23:59:59Z</time>"},
       {}},
      {"NoCalendarInstantKeepsItsPlace",
       Fix("---", "064506.000", "121308") + Fix("---", "250000.000", "120308") + Fix("---", "064508.000", "300208"),
       3, 0, 0, 1, {"<ele>12.3</ele>\n        <sat>8</sat>"}, {"<time>"}},
      {"EquatorCrossing", Fix("---", "064506.000", "120308", equatorNorth) +
                              Fix("---", "064507.000", "120308", equatorSouth),
       2, 0, 0, 1,
       {"<trkpt lat=\"0.000100\" lon=\"9.999900\">", "<trkpt lat=\"-0.000100\" lon=\"10.000100\">",
        "<bounds minlat=\"-0.000100\" minlon=\"9.999900\" maxlat=\"0.000100\" maxlon=\"10.000100\"/>"},
       {}},
      {"AntimeridianAndLowerCaseHemispheres",
       Fix("---", "064506.000", "120308", {"6530.0000", "s", "17959.9940", "E"}) +
           Fix("---", "064507.000", "120308", {"6530.0000", "S", "18000.0000", "E"}) +
           Fix("---", "064508.000", "120308", {"6530.0000", "n", "18000.0000", "W"}) +
           Fix("---", "064509.000", "120308", {"6530.0000", "N", "17959.9940", "w"}),
       4, 0, 0, 1,
       {"<trkpt lat=\"-65.500000\" lon=\"179.999900\">", "<trkpt lat=\"-65.500000\" lon=\"-180.000000\">",
        "<trkpt lat=\"65.500000\" lon=\"-180.000000\">", "<trkpt lat=\"65.500000\" lon=\"-179.999900\">"},
       {"lon=\"180.000000\""}},
      {"EmptyAndImpossiblePositions",
       Fix("---", "064506.000", "120308", {"", "", "", ""}) + Fix("---", "064507.000", "120308", {"9000.0000", "N"}) +
           Fix("---", "064508.000", "120308", {"9000.0060", "S"}) +
           Fix("---", "064509.000", "120308", {"2503.1234", "N", "18000.0060", "E"}) +
           Fix("---", "064510.000", "120308", {"2560.0000", "N"}) +
           Fix("---", "064511.000", "120308", {"25.1234", "N"}),
       2, 0, 4, 1, {"<trkpt lat=\"90.000000\"", "<trkpt lat=\"0.418723\"", "<bounds minlat=\"0.418723\""},
       {"T06:45:06Z", "90.0001", "180.0001", "25.1"}},
      {"TagsMakeSegmentsAndWaypoints",
       Fix("---", "064506.000", "120308") + Fix("--7", "064507.000", "120308") + Fix("--7", "064508.000", "120308") +
           Fix("-12", "064509.000", "120308", {"", "", "", ""}) + Fix("-12", "064510.000", "120308") +
           Fix("--7", "064511.000", "120308") + Fix("045", "064512.000", "120308") +
           Fix("---", "064513.000", "120308"),
       7, 4, 1, 6,
       {"<time>2008-03-12T06:45:07Z</time>\n    <name>Tag 007</name>",
        "<time>2008-03-12T06:45:10Z</time>\n    <name>Tag 012</name>",
        "<time>2008-03-12T06:45:11Z</time>\n    <name>Tag 007</name>", "<name>Tag 045</name>"},
       {}},
      {"LogWithoutTagFieldsIsTagZero",
       "$GPGGA,140509.000,2503.1234,N,12130.5678,W,1,08,1.2,35.6,M,15.0,M,,0000*75\r\n"
       "$GPRMC,140509.000,A,2503.1234,N,12130.5678,W,10.0,54.7,070308,,,A*73\r\n",
       1, 1, 0, 1, {"<name>Tag 000</name>", "<trkpt lat=\"25.052056\" lon=\"-121.509463\">"}, {}},
      {"SpeedKeepsTheDecimalsOfTheText",
       Fix("---", "064506.000", "120308", {}, "12.7", "") + Fix("---", "064507.000", "120308", {}, "5", "0") +
           Fix("---", "064508.000", "120308", {}, "", "360.00") + Fix("---", "064509.000", "120308", {}, "0.12"),
       4, 0, 0, 1,
       {"<gpxtpx:speed>6.533</gpxtpx:speed>\n          </gpxtpx:TrackPointExtension>",
        "<gpxtpx:speed>2.572</gpxtpx:speed>\n            <gpxtpx:course>0</gpxtpx:course>",
        "<gpxtpx:TrackPointExtension>\n            <gpxtpx:course>360.00</gpxtpx:course>",
        "<gpxtpx:speed>0.062</gpxtpx:speed>"},
       {}},
  };
}

class GpxWriterCases : public ::testing::TestWithParam<GpxCase> {};

TEST_P(GpxWriterCases, WritesAValidDocument) {
  const GpxCase& c = GetParam();
  const AppState state = Parse(c.log);
  GpxCounts counts;
  const std::string gpx = Render(state.selectionList, &counts);
  SCOPED_TRACE(gpx);
  EXPECT_EQ(counts.trackPoints, c.trackPoints);
  EXPECT_EQ(counts.waypoints, c.waypoints);
  EXPECT_EQ(counts.leftOut, c.leftOut);
  EXPECT_EQ(Occurrences(gpx, "<trkpt "), c.trackPoints);
  EXPECT_EQ(Occurrences(gpx, "<wpt "), c.waypoints);
  EXPECT_EQ(Occurrences(gpx, "<trkseg>"), c.segments);
  for (const std::string& piece : c.present) EXPECT_NE(gpx.find(piece), std::string::npos) << "missing " << piece;
  for (const std::string& piece : c.absent) EXPECT_EQ(gpx.find(piece), std::string::npos) << "unexpected " << piece;
  QUILLON_SKIP_WITHOUT_GPX_SCHEMA();
  EXPECT_EQ(testing::GpxSchemaErrors(gpx, c.name), "");
}

INSTANTIATE_TEST_SUITE_P(AwkwardLogs, GpxWriterCases, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return std::string(info.param.name); });

// A normal tagged log, byte for byte; the local-time setting of the run has
// no say since GPX times are UTC.
TEST(GpxWriterTest, TaggedLogMatchesGoldenFile) {
  testing::TimeZoneScope zone("Asia/Taipei");
  AppState state;
  state.rawLogText = MakeSharedText(
      testing::ReadFileBytes(testing::TestDataPath("export_gpx_tagged.txt")));
  ParseRawLog(state);
  const std::string gpx = Render(state.fixList);
  testing::ExpectMatchesGolden(gpx, "export_gpx_tagged.gpx");
  QUILLON_SKIP_WITHOUT_GPX_SCHEMA();
  EXPECT_EQ(testing::GpxSchemaErrors(gpx, "golden"), "");
}

TEST(GpxWriterTest, TrackNameIsEscapedAndFileNameFollowsTheLog) {
  std::ostringstream out;
  WriteGpx(out, FixList(), "a<b&c");
  EXPECT_NE(out.str().find("<name>a&lt;b&amp;c</name>"), std::string::npos) << out.str();
  AppState state;
  state.logStamp = "20080312064506";
  state.logSerial = 1234567;
  EXPECT_EQ(GpxFileName(state), "20080312064506_LogData_1234567.gpx");
}

}  // namespace
}  // namespace quillon
