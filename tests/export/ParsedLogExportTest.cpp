// Exports of logs read and parsed by the log data code, compared byte for
// byte with the golden files in tests/data.

#include <gtest/gtest.h>

#include <sstream>

#include "core/ControlIds.h"
#include "export/CsvWriter.h"
#include "export/ExportSelection.h"
#include "export/GpxWriter.h"
#include "export/KmlWriter.h"
#include "export/LocrWriter.h"
#include "export/TrackmakerWriter.h"
#include "logdata/LocalTime.h"
#include "logdata/RangeAndTags.h"
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

// Parses `text` as if it had just been loaded and computes its local times.
void ParseLog(AppState& state, std::string text) {
  state.rawLogText = MakeSharedText(std::move(text));
  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);
}

// A tagged GGA and RMC line pair at hh:mm:00 UTC on dd/mm/yy.
std::string TaggedFix(const std::string& tag, const std::string& hhmm, const std::string& ddmmyy) {
  return tag + ",$GPGGA," + hhmm + "00.000,2503.1234,N,12130.5678,E,1,08,1.0,45.3,M,15.0,M,,0000*6A\r\n" + tag +
         ",$GPRMC," + hhmm + "00.000,A,2503.1234,N,12130.5678,E,0.12,123.45," + ddmmyy + ",,,A*6B\r\n";
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

// The logger counts tags to 999: every tag keeps its own number in the tag
// box, the selection and the GPX waypoints, apart from the untagged mark.
TEST(ParsedLogExportTest, TagsUpTo999KeepTheirNumbers) {
  testing::TimeZoneScope zone("UTC");
  AppState state;
  ParseLog(state, TaggedFix("044", "0100", "120308") + TaggedFix("300", "0101", "120308") +
                      TaggedFix("556", "0102", "120308") + TaggedFix("---", "0103", "120308") +
                      TaggedFix("045", "0104", "120308") + TaggedFix("999", "0105", "120308") +
                      TaggedFix("300", "0106", "120308"));
  FakeWindowView view;
  ASSERT_TRUE(ShowRangeAndTags(state, view));
  std::vector<std::string> items;
  for (const auto& item : state.tagBox.Items()) items.push_back(item.text);
  EXPECT_EQ(items, (std::vector<std::string>{"044", "045", "300", "300", "556", "999"}));

  const std::pair<const char*, std::vector<std::int32_t>> cases[] = {
      {"300", {2, 7}}, {"044", {1}}, {"44", {1}}, {"556", {3}}, {"045", {5}}, {"999", {6}}, {"256", {}}, {"1300", {}},
  };
  OnRangeByTag(state);
  for (const auto& [tag, selected] : cases) {
    SCOPED_TRACE(std::string("tag box '") + tag + "'");
    view.SetItemText(ids::kTagBox, tag);
    ASSERT_TRUE(PrepareSelection(state, view));
    EXPECT_EQ(Sequences(state.selectionList), selected);
  }

  OnRangeAll(state);
  ASSERT_TRUE(PrepareSelection(state, view));
  const std::string gpx = Render([&](std::ostream& o) { WriteGpx(o, state.selectionList, "Tags"); });
  std::vector<std::string> waypoints;
  for (std::size_t at = gpx.find("<name>Tag "); at != std::string::npos; at = gpx.find("<name>Tag ", at + 1)) {
    waypoints.push_back(gpx.substr(at + 6, 7));
  }
  EXPECT_EQ(waypoints,
            (std::vector<std::string>{"Tag 044", "Tag 300", "Tag 556", "Tag 045", "Tag 999", "Tag 300"}));
}

// 00:30 UTC on 1 January 2000 is 19:30 on 31 December 1999 in New York: the
// local date keeps its year wherever it is shown, and a local range finds it.
TEST(ParsedLogExportTest, LocalDatesBefore2000) {
  testing::TimeZoneScope zone("America/New_York");
  AppState state;
  ParseLog(state, TaggedFix("---", "0030", "010100") + TaggedFix("---", "1200", "010100"));
  ASSERT_EQ(state.fixList.Size(), 2u);
  FakeWindowView view;
  view.SetChecked(ids::kUseLocalTime, true);
  ASSERT_TRUE(ShowRangeAndTags(state, view));
  std::vector<std::string> boxes;
  for (int id = ids::kFromYear; id <= ids::kToHour; ++id) boxes.push_back(view.GetItemText(id));
  EXPECT_EQ(boxes, (std::vector<std::string>{"1999", "12", "31", "19", "2000", "01", "01", "07"}));

  OnRangeAll(state);
  ASSERT_TRUE(PrepareSelection(state, view));
  const std::string csv = Render([&](std::ostream& o) { WriteCsv(o, state.selectionList, true); });
  EXPECT_NE(csv.find(",31/12/1999,19:30:0,0\n"), std::string::npos) << csv;
  const std::string trackmaker = Render([&](std::ostream& o) { WriteTrackmaker(o, state.selectionList, true); });
  EXPECT_NE(trackmaker.find(",31/12/1999,19:30:0,1\n"), std::string::npos) << trackmaker;

  struct Case {
    const char* name;
    std::array<const char*, 8> boxes;
    std::vector<std::int32_t> selected;
  };
  const Case cases[] = {
      {"the boxes as the reload fills them", {"1999", "12", "31", "19", "2000", "01", "01", "07"}, {1, 2}},
      {"the last hour of 1999", {"1999", "12", "31", "19", "1999", "12", "31", "19"}, {1}},
      {"from 1999 on", {"1999", "01", "01", "00", "2099", "12", "31", "24"}, {1, 2}},
      {"from 2000 on", {"2000", "01", "01", "00", "2099", "12", "31", "24"}, {2}},
      {"until the end of 1999", {"1990", "01", "01", "00", "1999", "12", "31", "24"}, {1}},
  };
  OnRangeByDate(state);
  const int boxIds[] = {ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour,
                        ids::kToYear,   ids::kToMonth,   ids::kToDay,   ids::kToHour};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int i = 0; i < 8; ++i) view.SetItemText(boxIds[i], c.boxes[i]);
    ASSERT_TRUE(PrepareSelection(state, view));
    EXPECT_EQ(Sequences(state.selectionList), c.selected);
  }
}

}  // namespace
}  // namespace quillon
