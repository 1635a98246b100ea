// Exports of logs read and parsed by the log data code, compared byte for
// byte with the golden files in tests/data.

#include <gtest/gtest.h>

#include <sstream>

#include "core/ControlIds.h"
#include "export/CsvWriter.h"
#include "export/ExportSelection.h"
#include "export/KmlWriter.h"
#include "export/LocrWriter.h"
#include "export/TrackmakerWriter.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogLoader.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

using testing::FakeWindowView;

// Loads a raw log from tests/data the way a reload does.
void LoadLog(AppState& state, const std::string& name) {
  state.rawLogPath = testing::TestDataPath(name).string();
  ASSERT_EQ(LoadRawLog(state), LoadOutcome::kLoaded);
  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);
}

std::vector<std::int32_t> Sequences(const FixList& list) {
  std::vector<std::int32_t> out;
  for (const auto& r : list.Records()) out.push_back(r.sequence);
  return out;
}

template <typename Writer>
std::string Render(Writer writer) {
  std::ostringstream out;
  writer(out);
  return out.str();
}

TEST(ParsedLogExportTest, ThreeFixLogInEveryFormat) {
  testing::TimeZoneScope zone("UTC");
  AppState state;
  FakeWindowView view;
  LoadLog(state, "export_three_fixes.txt");
  OnRangeAll(state);
  ASSERT_TRUE(PrepareSelection(state, view));
  ASSERT_EQ(Sequences(state.selectionList), (std::vector<std::int32_t>{1, 2, 3}));
  const FixList& s = state.selectionList;

  testing::ExpectMatchesGolden(Render([&](std::ostream& o) { WriteCsv(o, s, false); }), "export_three_fixes.csv");
  testing::ExpectMatchesGolden(Render([&](std::ostream& o) { WriteKml(o, s); }), "export_three_fixes.kml");
  testing::ExpectMatchesGolden(Render([&](std::ostream& o) { WriteTrackmaker(o, s, false); }),
                               "export_three_fixes_trackmaker.txt");
  testing::ExpectMatchesGolden(Render([&](std::ostream& o) { WriteLocr(o, s); }), "export_three_fixes_locr.txt");
}

TEST(ParsedLogExportTest, LocalTimeFollowsTheCheckBox) {
  testing::TimeZoneScope zone("Asia/Taipei");
  AppState state;
  LoadLog(state, "export_three_fixes.txt");
  OnRangeAll(state);
  FakeWindowView view;
  ASSERT_TRUE(PrepareSelection(state, view));
  const std::string utc = Render([&](std::ostream& o) { WriteCsv(o, state.selectionList, false); });
  const std::string local = Render([&](std::ostream& o) { WriteCsv(o, state.selectionList, true); });
  testing::ExpectMatchesGolden(utc, "export_three_fixes.csv");
  testing::ExpectMatchesGolden(local, "export_three_fixes_taipei.csv");
  EXPECT_NE(local.find(",7/3/2008,22:5:9,0\n"), std::string::npos) << local;
  testing::ExpectMatchesGolden(Render([&](std::ostream& o) { WriteTrackmaker(o, state.selectionList, true); }),
                               "export_three_fixes_taipei_trackmaker.txt");
}

// Berlin moves its clocks at 01:00 UTC on 30 March and 26 October 2008. The
// log holds fixes at 00:30 and 01:30 UTC on both days: local 01:30 and 03:30
// in March, 02:30 twice in October.
TEST(ParsedLogExportTest, DateRangeInAZoneWithDaylightSaving) {
  testing::TimeZoneScope zone("Europe/Berlin");
  struct Case {
    const char* name;
    std::array<const char*, 8> boxes;
    bool localTime;
    std::vector<std::int32_t> selected;
  };
  const Case cases[] = {
      {"local 03 h after the spring change", {"2008", "03", "30", "03", "2008", "03", "30", "03"}, true, {2}},
      {"local 02 h does not exist in spring", {"2008", "03", "30", "02", "2008", "03", "30", "02"}, true, {}},
      {"UTC 01 h in spring", {"2008", "03", "30", "01", "2008", "03", "30", "01"}, false, {2}},
      {"local 02 h happens twice in autumn", {"2008", "10", "26", "02", "2008", "10", "26", "02"}, true, {3, 4}},
      {"UTC 00 h in autumn", {"2008", "10", "26", "00", "2008", "10", "26", "00"}, false, {3}},
      {"whole local day in spring", {"2008", "03", "30", "00", "2008", "03", "30", "24"}, true, {1, 2}},
  };
  AppState state;
  LoadLog(state, "export_berlin_dst.txt");
  OnRangeByDate(state);
  FakeWindowView view;
  const int boxIds[] = {ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour,
                        ids::kToYear,   ids::kToMonth,   ids::kToDay,   ids::kToHour};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < 8; ++i) view.SetItemText(boxIds[i], c.boxes[i]);
    view.SetChecked(ids::kUseLocalTime, c.localTime);
    ASSERT_TRUE(PrepareSelection(state, view));
    EXPECT_EQ(Sequences(state.selectionList), c.selected);
  }
  EXPECT_TRUE(view.messages.empty());

  OnRangeAll(state);
  view.SetChecked(ids::kUseLocalTime, true);
  ASSERT_TRUE(PrepareSelection(state, view));
  testing::ExpectMatchesGolden(Render([&](std::ostream& o) { WriteCsv(o, state.selectionList, true); }),
                               "export_berlin_dst_local.csv");
}

TEST(ParsedLogExportTest, TagRangeOfAParsedLog) {
  testing::TimeZoneScope zone("UTC");
  AppState state;
  LoadLog(state, "export_berlin_dst.txt");
  OnRangeByTag(state);
  FakeWindowView view;
  view.SetItemText(ids::kTagBox, "003");
  ASSERT_TRUE(PrepareSelection(state, view));
  EXPECT_EQ(Sequences(state.selectionList), (std::vector<std::int32_t>{2, 3}));
  view.SetItemText(ids::kTagBox, "012");
  ASSERT_TRUE(PrepareSelection(state, view));
  EXPECT_EQ(Sequences(state.selectionList), (std::vector<std::int32_t>{4}));
}

}  // namespace
}  // namespace quillon
