#include "geotag/TrackMatch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

TrackPoint Point(std::int64_t t, double lat, double lon, std::optional<double> alt = std::nullopt,
                 std::optional<double> speed = std::nullopt, std::optional<double> course = std::nullopt) {
  return TrackPoint{t, lat, lon, alt, speed, course};
}

// A track with a gap of an hour between its second and third fix, and one
// that crosses the 180th meridian at the end.
const std::vector<TrackPoint> kTrack = {
    Point(1000, 25.0, 121.0, 100.0, 10.0, 350.0),
    Point(1100, 25.1, 121.2, 200.0, 30.0, 10.0),
    Point(4700, 26.0, 122.0, std::nullopt, 20.0, 90.0),
    Point(4800, 26.0, 179.9, 0.0, std::nullopt, 90.0),
    Point(4900, 26.0, -179.9, 10.0, 40.0, 100.0),
};

TEST(MatchPositionTest, InterpolatesWithinGapsAndTakesTheNearerFixBeyond) {
  struct Case {
    const char* what;
    double time;
    MatchLimits limits;
    std::optional<TrackPoint> expected;
  };
  const MatchLimits standard;
  const MatchLimits tight{60, 30};
  const std::vector<Case> cases = {
      {"on a fix", 1100, standard, kTrack[1]},
      {"a quarter of the way", 1025, standard, Point(1025, 25.025, 121.05, 125.0, 15.0, 355.0)},
      {"course the short way over north", 1075, standard, Point(1075, 25.075, 121.15, 175.0, 25.0, 5.0)},
      {"sub-second photo time", 1000.5, standard, Point(1000, 25.0005, 121.001, 100.5, 10.1, 350.1)},
      {"gap longer than interpolation, nearer is before", 1120, tight, kTrack[1]},
      {"gap longer than interpolation, nearer is after", 4690, tight, kTrack[2]},
      {"gap longer than interpolation, too far from both", 2000, tight, std::nullopt},
      {"hour-long gap within the default limit", 1100 + 1800, MatchLimits{3600, 1800},
       Point(2900, 25.55, 121.6, std::nullopt, 25.0, 50.0)},
      {"before the first fix, within reach", 1000 - 1800, standard, kTrack[0]},
      {"before the first fix, out of reach", 1000 - 1801, standard, std::nullopt},
      {"after the last fix, within reach", 4900 + 30, tight, kTrack[4]},
      {"after the last fix, out of reach", 4900 + 31, tight, std::nullopt},
      {"over the 180th meridian the short way", 4850, standard, Point(4850, 26.0, -180.0, 5.0, std::nullopt, 95.0)},
      {"a quarter over the meridian", 4875, standard, Point(4875, 26.0, -179.95, 7.5, std::nullopt, 97.5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::optional<TrackPoint> got = MatchPosition(kTrack, c.time, c.limits);
    ASSERT_EQ(got.has_value(), c.expected.has_value());
    if (!got) continue;
    EXPECT_EQ(got->utcSeconds, c.expected->utcSeconds);
    EXPECT_NEAR(got->latitude, c.expected->latitude, 1e-9);
    EXPECT_NEAR(got->longitude, c.expected->longitude, 1e-9);
    ASSERT_EQ(got->altitude.has_value(), c.expected->altitude.has_value());
    if (got->altitude) {
      EXPECT_NEAR(*got->altitude, *c.expected->altitude, 1e-9);
    }
    ASSERT_EQ(got->speedKmh.has_value(), c.expected->speedKmh.has_value());
    if (got->speedKmh) {
      EXPECT_NEAR(*got->speedKmh, *c.expected->speedKmh, 1e-9);
    }
    ASSERT_EQ(got->course.has_value(), c.expected->course.has_value());
    if (got->course) {
      EXPECT_NEAR(*got->course, *c.expected->course, 1e-9);
    }
  }
  EXPECT_FALSE(MatchPosition({}, 1000, standard)) << "an empty track matches nothing";
}

// The fixes of a log: only those with a position and a time, in time order,
// speed in km/h from the RMC sentence's knots, course from its text.
TEST(TrackPointsOfTest, TakesTheFixesWithAPositionInTimeOrder) {
  auto fix = [](std::string_view lon, std::string_view lat, int second, std::string_view course) {
    FixRecord r = testing::Fix(lon, 'E', lat, 'N');
    testing::SetUtc(r, 2008, 3, 7, 14, 5, second);
    // The logged coordinates only need to be there; the degree texts count.
    r.latitudeText.Assign(lat.empty() ? "" : "2500.0000");
    r.longitudeText.Assign(lon.empty() ? "" : "12130.0000");
    r.altitude = 12.5;
    r.courseText.Assign(course);
    return r;
  };
  FixRecord noPosition = fix("", "", 8, "");
  const FixList list =
      testing::ListBuilder()
          .Add(fix("121.500000", "25.000000", 9, "54.7"), "$GPRMC,140509.000,A,2500.0000,N,12130.0000,E,10.0,54.7,070308,,,A*00")
          .Add(noPosition)
          .Add(fix("121.400000", "25.100000", 1, "360"), "$GPRMC,140501.000,A,2506.0000,N,12124.0000,E,2.5,360,070308,,,A*00")
          .Add(fix("121.300000", "25.200000", 5, "bad"))
          .Build();
  const std::vector<TrackPoint> points = TrackPointsOf(list);
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].utcSeconds, 1204898701);
  EXPECT_NEAR(points[0].latitude, 25.1, 1e-9);
  EXPECT_NEAR(*points[0].speedKmh, 2.5 * 1.852, 1e-9);
  EXPECT_EQ(points[0].course, 0.0) << "360 degrees is north";
  EXPECT_EQ(points[1].utcSeconds, 1204898705);
  EXPECT_FALSE(points[1].speedKmh) << "no RMC sentence";
  EXPECT_FALSE(points[1].course);
  EXPECT_EQ(points[2].utcSeconds, 1204898709);
  EXPECT_NEAR(points[2].longitude, 121.5, 1e-9);
  EXPECT_EQ(points[2].altitude, 12.5);
  EXPECT_EQ(points[2].course, 54.7);
}

}  // namespace
}  // namespace quillon
