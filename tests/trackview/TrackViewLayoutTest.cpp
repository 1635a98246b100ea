// What the Track View window paints and hovers by: the layout of its parts,
// round value ticks, the hovered fix in words, the nearest fix in time and
// the fixes it shows for each range mode.

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "logdata/LocalTime.h"
#include "tests/support/FakeWindowView.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/trackview/TrackViewTestSupport.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackViewFixes.h"
#include "trackview/TrackViewLayout.h"

namespace quillon {
namespace {

using testing::LoggedFix;

bool Inside(const PixelRect& inner, const PixelRect& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.left + inner.width <= outer.left + outer.width &&
         inner.top + inner.height <= outer.top + outer.height;
}

TEST(TrackViewLayout, PartsStayInsideTheCanvasInOrderWithoutOverlap) {
  for (auto [width, height] : std::vector<std::pair<double, double>>{{300, 240}, {1000, 760}, {1920, 1160}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const TrackViewLayout layout = LayOutTrackView(width, height);
    const PixelRect canvas{0, 0, width, height};
    for (const PixelRect& part : {layout.map, layout.speedPlot, layout.altitudePlot}) {
      EXPECT_TRUE(Inside(part, canvas));
      EXPECT_GT(part.width, 0);
      EXPECT_GT(part.height, 0);
    }
    EXPECT_TRUE(Inside(layout.legend, layout.map));
    // The whole track is shown clear of the legend, whose frame starts 8
    // pixels left of its bar, on most of the map's width.
    EXPECT_TRUE(Inside(layout.fit, layout.map));
    EXPECT_LE(layout.fit.left + layout.fit.width, layout.legend.left - 8);
    EXPECT_GE(layout.fit.width, layout.map.width * 0.6);
    EXPECT_LT(layout.map.top + layout.map.height, layout.speedPlot.top);
    EXPECT_LT(layout.speedPlot.top + layout.speedPlot.height, layout.altitudePlot.top);
    EXPECT_EQ(layout.speedPlot.left, layout.altitudePlot.left) << "one time axis for both";
    EXPECT_EQ(layout.speedPlot.width, layout.altitudePlot.width);
    EXPECT_GT(layout.map.height, layout.speedPlot.height) << "the map is the main part";
  }
}

TEST(TrackViewLayout, ValueTicksAreRoundAndCoverTheRange) {
  struct Case {
    double low, high;
    int maxTicks;
    std::vector<double> ticks;
  };
  const std::vector<Case> cases = {
      {0, 48, 5, {0, 20, 40, 60}},
      {0, 100, 6, {0, 20, 40, 60, 80, 100}},
      {-3.5, 12.2, 5, {-5, 0, 5, 10, 15}},
      {120, 124, 5, {120, 121, 122, 123, 124}},
      {7, 7, 3, {7, 7.5, 8}},  // a flat profile still gets a scale
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.low) + " to " + std::to_string(c.high));
    EXPECT_EQ(ValueTicks(c.low, c.high, c.maxTicks), c.ticks);
  }
}

const std::string kLog = "@Logger memory dump\r\n" +
                         LoggedFix("---", "235950.000", "311207", "2503.1234", "12130.5678", "10.50", "40.0") +
                         LoggedFix("--3", "235959.000", "311207", "2503.2234", "12130.6678", "21.75", "38.5") +
                         LoggedFix("--3", "000005.000", "320108", "2503.2734", "12130.7178", "0") +
                         LoggedFix("-12", "000010.000", "010108", "2503.3234", "12130.7678", "30", "36.0") +
                         LoggedFix("---", "000050.000", "010108", "2503.4234", "12130.8678", "3.25", "35.5");

TEST(TrackViewLayout, DescribesTheHoveredFixAndFindsTheNearestInTime) {
  FixList list = testing::ParseLog(kLog);
  {
    testing::TimeZoneScope taipei("Asia/Taipei");
    ComputeLocalTimes(list);
  }
  const TrackModel model = TrackModel::Build(list);
  ASSERT_EQ(model.Fixes().size(), 5u);
  struct Case {
    std::size_t fix;
    bool local;
    const char* text;
  };
  const std::vector<Case> cases = {
      {0, false, "2007-12-31 23:59:50 UTC  19.4 km/h  40 m  no tag"},
      {1, true, "2008-01-01 07:59:59 local  40.3 km/h  38 m  Tag 003"},
      {2, false, "no time  0.0 km/h  12 m  Tag 003"},
      {3, false, "2008-01-01 00:00:10 UTC  55.6 km/h  36 m  Tag 012"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(DescribeFix(model.Fixes()[c.fix], c.local), c.text);
  }
  const std::int64_t midnight = model.Fixes()[3].utcSeconds - 10;
  EXPECT_EQ(NearestFixInTime(model, midnight), 1u) << "one second before beats ten after; the timeless one is skipped";
  EXPECT_EQ(NearestFixInTime(model, midnight + 30), 3u) << "of two equally near the earlier";
  EXPECT_EQ(NearestFixInTime(model, midnight + 3600), 4u);
  EXPECT_FALSE(NearestFixInTime(TrackModel::Build(FixList()), 0).has_value());
}

TEST(TrackViewFixes, AllFixesWithoutARangeOtherwiseTheExportsSelection) {
  AppState state;
  state.fixList = testing::ParseLog(kLog);
  testing::FakeWindowView view;
  EXPECT_EQ(TrackViewFixes(state, view), &state.fixList);

  state.rangeMode = kRangeByTagMode;
  view.SetItemText(ids::kTagBox, "003");
  const FixList* tagged = TrackViewFixes(state, view);
  ASSERT_EQ(tagged, &state.selectionList);
  EXPECT_EQ(tagged->Size(), 2u);

  // A refused date range shows the export's own message and opens nothing.
  state.rangeMode = kRangeByDateMode;
  view.SetItemText(ids::kFromYear, "x");
  EXPECT_EQ(TrackViewFixes(state, view), nullptr);
  EXPECT_EQ(view.messages.size(), 1u);
}

}  // namespace
}  // namespace quillon
