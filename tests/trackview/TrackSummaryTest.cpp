// The summary line, the speed colours and the profiles over a parsed log.

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "export/CsvWriter.h"
#include "tests/trackview/TrackViewTestSupport.h"
#include "trackview/SpeedAltitudeProfile.h"
#include "trackview/SpeedScale.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackSummary.h"

namespace quillon {
namespace {

using testing::LoggedFix;

// Over midnight and a year change, with an empty position in the middle
// (which the CSV counts as a jump to 0,0 and back) and one fix whose date is
// no calendar day.
const std::string kLog = "@Logger memory dump\r\n" +
                         LoggedFix("---", "235950.000", "311207", "2503.1234", "12130.5678", "10.50", "40.0") +
                         LoggedFix("--3", "235959.000", "311207", "2503.2234", "12130.6678", "21.75", "38.5") +
                         LoggedFix("--3", "000005.000", "320108", "", "", "0") +
                         LoggedFix("--3", "000010.000", "010108", "2503.3234", "12130.7678", "30", "36.0") +
                         LoggedFix("---", "000050.000", "010108", "2503.4234", "12130.8678", "3.25", "35.5");

std::int64_t CsvTotal(const FixList& list) {
  std::ostringstream out;
  WriteCsv(out, list, false);
  const std::string csv = out.str();
  const std::string prefix = "Total distance : ";
  const std::size_t at = csv.rfind(prefix);
  return std::stoll(csv.substr(at + prefix.size()));
}

TEST(TrackSummaryTest, MatchesTheCsvAndReadsSpeedDecimals) {
  const FixList list = testing::ParseLog(kLog);
  ASSERT_EQ(list.Size(), 5u);
  const TrackSummary summary = SummariseTrack(list);
  EXPECT_EQ(summary.fixes, 5u);
  EXPECT_EQ(summary.totalMetres, CsvTotal(list));
  EXPECT_GT(summary.totalMetres, 1000000);  // the jump to 0,0 counts, as in the CSV
  ASSERT_TRUE(summary.durationSeconds);
  EXPECT_EQ(*summary.durationSeconds, 60);
  ASSERT_TRUE(summary.highestKmh);
  EXPECT_DOUBLE_EQ(*summary.highestKmh, 30 * 1.852);
  ASSERT_TRUE(summary.averageKmh);
  EXPECT_DOUBLE_EQ(*summary.averageKmh, static_cast<double>(summary.totalMetres) / 60.0 * 3.6);
}

TEST(TrackSummaryTest, Formats) {
  TrackSummary summary;
  summary.fixes = 250000;
  summary.totalMetres = 1234567;
  summary.durationSeconds = 69 * 3600 + 26 * 60 + 39;
  summary.averageKmh = 17.77;
  summary.highestKmh = 40.0;
  EXPECT_EQ(FormatSummary(summary), "250000 fixes, 1234.6 km, 69:26:39, average 17.8 km/h, highest 40.0 km/h");
  const TrackSummary empty = SummariseTrack(FixList());
  EXPECT_EQ(FormatSummary(empty), "0 fixes, 0 m, -, average -, highest -");
}

TEST(SpeedScaleTest, RampAndLegend) {
  const SpeedScale scale(55.3);
  EXPECT_EQ(scale.TopKmh(), 60.0);
  const std::vector<LegendStop> legend = scale.Legend();
  ASSERT_EQ(legend.size(), 5u);
  EXPECT_EQ(legend[1].kmh, 15.0);
  EXPECT_EQ(legend[0].colour, (Rgb{0, 0, 255}));
  EXPECT_EQ(legend[4].colour, (Rgb{230, 0, 0}));
  EXPECT_EQ(scale.ColourOf(500.0), legend[4].colour);
  EXPECT_EQ(scale.ColourOf(-1.0), legend[0].colour);
  EXPECT_EQ(scale.ColourOf(30.0), (Rgb{0, 200, 0}));
  EXPECT_EQ(SpeedScale(1234.0).TopKmh(), 1600.0);
}

TEST(SpeedAltitudeProfileTest, SharedAxisColumnsAndLocalLabels) {
  FixList list = testing::ParseLog(kLog);
  for (FixRecord& r : list.Records()) {
    // Taipei, eight hours ahead of UTC, as the local-time step would set it.
    r.localYear = r.utcYear;
    r.localMonth = r.utcMonth;
    r.localDay = r.utcDay;
    r.localHour = static_cast<std::uint8_t>((r.utcHour + 8) % 24);
    r.localMinute = r.utcMinute;
    r.localSecond = r.utcSecond;
  }
  const TrackModel model = TrackModel::Build(list);
  ASSERT_EQ(model.Fixes().size(), 4u);  // the empty position is not drawn
  const TimeAxis utc = MakeTimeAxis(model, false);
  ASSERT_TRUE(utc.valid);
  EXPECT_EQ(utc.end - utc.start, 60);
  const std::vector<AxisTick> ticks = TimeTicks(utc, 5);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks.front().label, "00:00:00");
  EXPECT_EQ(ticks.back().label, "00:00:45");
  const TimeAxis local = MakeTimeAxis(model, true);
  EXPECT_EQ(TimeTicks(local, 5).front().label, "08:00:00");
  EXPECT_EQ(TimeTicks(local, 5).front().utcSeconds, ticks.front().utcSeconds);

  // Four pixels: the first two fixes (10 s apart over 60 s) share column 0.
  const std::vector<ProfileColumn> speed = ProfileColumns(model, utc, ProfileValue::kSpeedKmh, 4);
  ASSERT_EQ(speed.size(), 3u);
  EXPECT_EQ(speed[0].column, 0);
  EXPECT_DOUBLE_EQ(speed[0].low, 10.5 * 1.852);
  EXPECT_DOUBLE_EQ(speed[0].high, 21.75 * 1.852);
  EXPECT_DOUBLE_EQ(speed[0].last, 21.75 * 1.852);
  EXPECT_EQ(speed[2].column, 3);
  double low = 0.0;
  double high = 0.0;
  ProfileRange(model, ProfileValue::kAltitude, low, high);
  EXPECT_DOUBLE_EQ(low, 35.5);
  EXPECT_DOUBLE_EQ(high, 40.0);
}

// Axes of a day or more: midnight ticks name their day, so that no two ticks
// read alike, and the ticks still fit.
TEST(SpeedAltitudeProfileTest, AxesOverDaysShowDates) {
  constexpr std::int64_t k15March2008 = 1205539200;  // 00:00 UTC
  constexpr std::int64_t kHour = 3600;
  constexpr std::int64_t kDay = 24 * kHour;
  struct Case {
    const char* name;
    std::int64_t start;
    std::int64_t end;
    std::int32_t offset;
    int maxTicks;
    std::vector<std::string> labels;
  };
  const Case cases[] = {
      {"three days", k15March2008 + 10 * kHour, k15March2008 + 3 * kDay + 10 * kHour, 0, 8,
       {"16/3/2008", "17/3/2008", "18/3/2008"}},
      {"a day and a half", k15March2008 + 3 * kHour, k15March2008 + kDay + 15 * kHour, 0, 10,
       {"06:00", "12:00", "18:00", "16/3/2008", "06:00", "12:00"}},
      {"local midnight, Taipei", k15March2008 - 8 * kHour + 3 * kHour, k15March2008 + kDay + 15 * kHour, 8 * 3600, 10,
       {"06:00", "12:00", "18:00", "16/3/2008", "06:00", "12:00", "18:00"}},
      {"five weeks", k15March2008, k15March2008 + 35 * kDay, 0, 6,
       {"20/3/2008", "27/3/2008", "3/4/2008", "10/4/2008", "17/4/2008"}},
      // Steps of weeks count from a Thursday, 1/1/1970.
      {"over a year end", k15March2008 + 280 * kDay, k15March2008 + 300 * kDay, 0, 4,
       {"25/12/2008", "1/1/2009", "8/1/2009"}},
      {"three years, in steps of 52 weeks", k15March2008, k15March2008 + 3 * 365 * kDay, 0, 5,
       {"13/11/2008", "12/11/2009", "11/11/2010"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TimeAxis axis{c.start, c.end, c.offset, true};
    std::vector<std::string> labels;
    for (const AxisTick& tick : TimeTicks(axis, c.maxTicks)) {
      EXPECT_GE(tick.utcSeconds, c.start);
      EXPECT_LE(tick.utcSeconds, c.end);
      labels.push_back(tick.label);
    }
    EXPECT_EQ(labels, c.labels);
  }
}

}  // namespace
}  // namespace quillon
