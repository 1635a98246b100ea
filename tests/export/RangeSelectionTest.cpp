#include "export/RangeSelection.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/ControlIds.h"
#include "export/ExportSelection.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

using testing::FakeWindowView;

std::vector<std::int32_t> Sequences(const FixList& list) {
  std::vector<std::int32_t> out;
  for (const auto& r : list.Records()) out.push_back(r.sequence);
  return out;
}

struct KeyCase {
  std::int64_t year, month, day, hour;
  std::int64_t key;
};

TEST(RangeKeyTest, JoinsTheFourValuesAsANumber) {
  const KeyCase cases[] = {
      {2008, 3, 7, 14, 8030714},
      {2000, 0, 0, 0, 0},
      {2099, 12, 31, 24, 99123124},
      {2100, 1, 1, 0, 100010100},
      {2255, 12, 31, 23, 255123123},
      {1999, 12, 31, 23, -876877},
      {1999, 1, 1, 0, -989900},
      {8, 3, 7, 14, -1991969286},  // a year typed with two digits
      {2008, -5, 7, 14, 7950714},
      {2008, 3, 7, -1, 8030699},
      {2147483647, 1, 1, 0, 2147481647010100},  // too long for 32 bits: compared by its full value
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.year << "," << c.month << "," << c.day << "," << c.hour);
    EXPECT_EQ(RangeKey(c.year, c.month, c.day, c.hour), c.key);
  }
  // Hours in calendar order give growing keys, across the turn of 2000 too.
  EXPECT_LT(RangeKey(1998, 12, 31, 24), RangeKey(1999, 1, 1, 0));
  EXPECT_LT(RangeKey(1999, 12, 31, 24), RangeKey(2000, 1, 1, 0));
  EXPECT_LT(RangeKey(2099, 12, 31, 24), RangeKey(2100, 1, 1, 0));
}

TEST(ReadWholeNumberTest, AcceptsOnlyWholeNumbers) {
  const std::pair<const char*, std::optional<std::int32_t>> cases[] = {
      {"12", 12},           {"08", 8},      {" 7 ", 7},         {"-3", -3},
      {"+4", 4},            {"0", 0},       {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},     {"2147483648", std::nullopt},
      {"", std::nullopt},   {" ", std::nullopt}, {"-", std::nullopt}, {"1a", std::nullopt},
      {"1 2", std::nullopt}, {"No any tag", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(std::string("text '") + text + "'");
    EXPECT_EQ(ReadWholeNumber(text), expected);
  }
}

// Five fixes around 14 h UTC on 7 March 2008, numbered 1 to 5; local time is
// UTC + 1 h. Tags 5, 5, none, "---", 7.
class SelectRangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::array<std::array<int, 3>, 5> times = {{{7, 13, 59}, {7, 14, 0}, {7, 14, 59}, {7, 15, 0}, {8, 0, 30}}};
    const std::array<std::uint16_t, 5> tags = {5, 5, 0, kNoTag, 7};
    testing::ListBuilder builder;
    for (int i = 0; i < 5; ++i) {
      FixRecord r = testing::Fix("121.509463", 'E', "25.052056", 'N');
      r.sequence = i + 1;
      r.tag = tags[i];
      r.untagged = i == 3;
      testing::SetUtc(r, 2008, 3, times[i][0], times[i][1], times[i][2], 0);
      testing::SetLocal(r, 2008, 3, times[i][0], times[i][1] + 1, times[i][2], 0);
      builder.Add(r, "$GPRMC,fix" + std::to_string(i + 1));
    }
    state.fixList = builder.Build();
  }

  static RangeRequest ByDate(const std::array<const char*, 8>& texts, bool useLocalTime) {
    RangeRequest request;
    request.mode = kRangeByDateMode;
    for (int i = 0; i < 8; ++i) request.dateTexts[i] = texts[i];
    request.useLocalTime = useLocalTime;
    return request;
  }

  void SetDates(const std::array<const char*, 8>& texts) {
    const int boxes[] = {ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour,
                         ids::kToYear,   ids::kToMonth,   ids::kToDay,   ids::kToHour};
    for (int i = 0; i < 8; ++i) view.SetItemText(boxes[i], texts[i]);
  }

  AppState state;
  FakeWindowView view;
};

TEST_F(SelectRangeTest, EmptyFixListSelectsNothingAndSaysNothing) {
  state.fixList.Free();
  for (std::uint8_t mode : {kRangeAllMode, kRangeByDateMode, kRangeByTagMode}) {
    SCOPED_TRACE(static_cast<int>(mode));
    OnRangeAll(state);
    state.rangeMode = mode;
    EXPECT_EQ(SelectRange(state, ByDate({"", "", "", "", "", "", "", ""}, false)), RangeOutcome::kNoFixes);
    EXPECT_FALSE(PrepareSelection(state, view));
  }
  EXPECT_TRUE(view.messages.empty());
  EXPECT_TRUE(state.selectionList.Empty());
}

TEST_F(SelectRangeTest, AllCopiesEveryFixInOrderWithItsSentences) {
  RangeRequest all;
  all.mode = kRangeAllMode;
  ASSERT_EQ(SelectRange(state, all), RangeOutcome::kSelected);
  EXPECT_EQ(Sequences(state.selectionList), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  state.fixList.Free();  // a reload frees the Fix List; the copies stay usable
  EXPECT_EQ(state.selectionList.RmcSentence(state.selectionList[4]), "$GPRMC,fix5");
}

TEST_F(SelectRangeTest, AllSelectionAndFixListChangeIndependently) {
  RangeRequest all;
  all.mode = kRangeAllMode;
  ASSERT_EQ(SelectRange(state, all), RangeOutcome::kSelected);
  state.fixList[0].sequence = 100;
  EXPECT_EQ(Sequences(state.selectionList), (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
  state.selectionList[1].sequence = 200;
  state.selectionList.Append(state.selectionList[2]);
  EXPECT_EQ(Sequences(state.fixList), (std::vector<std::int32_t>{100, 2, 3, 4, 5}));
  EXPECT_EQ(Sequences(state.selectionList), (std::vector<std::int32_t>{1, 200, 3, 4, 5, 3}));
}

struct DateCase {
  const char* name;
  std::array<const char*, 8> boxes;
  bool localTime;
  RangeOutcome outcome;
  std::vector<std::int32_t> selected;
};

TEST_F(SelectRangeTest, ByDateFollowsTheBoxesAndTheirChecks) {
  using enum RangeOutcome;
  const DateCase cases[] = {
      {"one hour", {"2008", "03", "07", "14", "2008", "03", "07", "14"}, false, kSelected, {2, 3}},
      {"one hour in local time", {"2008", "03", "07", "14", "2008", "03", "07", "14"}, true, kSelected, {1}},
      {"start after end", {"2008", "03", "07", "15", "2008", "03", "07", "14"}, false, kSelected, {}},
      {"two-digit start year", {"08", "03", "07", "14", "2008", "03", "07", "14"}, false, kSelected, {1, 2, 3}},
      {"two-digit end year", {"2008", "03", "07", "00", "08", "03", "08", "23"}, false, kSelected, {}},
      {"hour 24 takes the whole day", {"2008", "03", "07", "0", "2008", "3", "7", "24"}, false, kSelected,
       {1, 2, 3, 4}},
      {"month 0 passes", {"2008", "00", "00", "00", "2008", "03", "07", "13"}, false, kSelected, {1}},
      {"negative hour passes", {"2008", "03", "07", "-1", "2008", "03", "07", "14"}, false, kSelected, {1, 2, 3}},
      {"start hour 25", {"2008", "03", "07", "25", "2008", "03", "07", "14"}, false, kBadRange, {}},
      {"end hour 25", {"2008", "03", "07", "14", "2008", "03", "07", "25"}, false, kBadRange, {}},
      {"start month 13", {"2008", "13", "07", "14", "2008", "03", "07", "14"}, false, kBadRange, {}},
      {"end day 32", {"2008", "03", "07", "14", "2008", "03", "32", "14"}, false, kBadRange, {}},
      {"empty box", {"2008", "03", "07", "14", "2008", "03", "", "14"}, false, kNoDate, {}},
      {"letters", {"2008", "03", "07", "1a", "2008", "03", "07", "14"}, false, kNoDate, {}},
      {"empty box wins over a bad month", {"2008", "13", "07", "14", "", "03", "07", "14"}, false, kNoDate, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    state.selectionList.Free();
    EXPECT_EQ(SelectRange(state, ByDate(c.boxes, c.localTime)), c.outcome);
    EXPECT_EQ(Sequences(state.selectionList), c.selected);
  }
}

TEST_F(SelectRangeTest, ByTagComparesTheBoxNumberWithTheTag) {
  const std::pair<const char*, std::vector<std::int32_t>> cases[] = {
      {"005", {1, 2}},  {"5", {1, 2}},        {"007", {5}}, {"No any tag", {3}},
      {"", {3}},        {"045", {}},         {"261", {}},  {"-5", {}},
  };
  for (const auto& [text, selected] : cases) {
    SCOPED_TRACE(std::string("tag box '") + text + "'");
    state.selectionList.Free();
    RangeRequest request;
    request.mode = kRangeByTagMode;
    request.tagText = text;
    EXPECT_EQ(SelectRange(state, request), RangeOutcome::kSelected);
    EXPECT_EQ(Sequences(state.selectionList), selected);
  }
}

TEST_F(SelectRangeTest, RadioHandlersOnlySetTheMode) {
  OnRangeByDate(state);
  EXPECT_EQ(state.rangeMode, kRangeByDateMode);
  OnRangeByTag(state);
  EXPECT_EQ(state.rangeMode, kRangeByTagMode);
  OnRangeAll(state);
  EXPECT_EQ(state.rangeMode, kRangeAllMode);
  EXPECT_TRUE(state.selectionList.Empty());
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SelectRangeTest, PrepareSelectionRefusesUntilARangeIsChosen) {
  RangeRequest all;
  all.mode = kRangeAllMode;
  ASSERT_EQ(SelectRange(state, all), RangeOutcome::kSelected);  // a previous export's selection
  EXPECT_FALSE(PrepareSelection(state, view));
  EXPECT_TRUE(state.selectionList.Empty());
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0],
            (testing::ShownMessage{"Please choose 'log data range' ", "Info", MessageButtons::kOk, true}));
}

// The window reads its controls into the request and tells each refusal in
// its own box; the same boxes selected through the value give the same fixes.
TEST_F(SelectRangeTest, WindowShowsEachRefusalWithItsCaption) {
  struct Case {
    std::array<const char*, 8> boxes;
    bool localTime;
    const char* text;  // nullptr: no message
  };
  const Case cases[] = {
      {{"2008", "03", "07", "14", "2008", "03", "07", "14"}, true, nullptr},
      {{"2008", "03", "07", "14", "2008", "03", "07", "14"}, false, nullptr},
      {{"2008", "03", "07", "14", "2008", "03", " ", "14"}, false, "Please set search date"},
      {{"2008", "03", "07", "14", "2008", "03", "07", "25"}, false, "Please check search range"},
  };
  OnRangeByDate(state);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.boxes[6]);
    view.messages.clear();
    SetDates(c.boxes);
    view.SetChecked(ids::kUseLocalTime, c.localTime);
    EXPECT_EQ(PrepareSelection(state, view), c.text == nullptr);
    const auto fromWindow = Sequences(state.selectionList);
    EXPECT_EQ(PrepareSelection(state, ByDate(c.boxes, c.localTime)) == RangeOutcome::kSelected, c.text == nullptr);
    EXPECT_EQ(Sequences(state.selectionList), fromWindow);
    if (c.text) {
      ASSERT_EQ(view.messages.size(), 1u);
      EXPECT_EQ(view.messages[0], (testing::ShownMessage{c.text, "info", MessageButtons::kOk, true}));
    } else {
      EXPECT_TRUE(view.messages.empty());
    }
  }
}

TEST_F(SelectRangeTest, PrepareSelectionFreesThePreviousSelectionEvenWhenRefused) {
  OnRangeAll(state);
  ASSERT_TRUE(PrepareSelection(state, view));
  ASSERT_EQ(state.selectionList.Size(), 5u);

  OnRangeByDate(state);
  SetDates({"2008", "03", "07", "14", "2008", "03", "07", "99"});
  EXPECT_FALSE(PrepareSelection(state, view));
  EXPECT_TRUE(state.selectionList.Empty());
}

TEST_F(SelectRangeTest, ASecondExportBuildsAnEqualSelection) {
  OnRangeByTag(state);
  view.SetItemText(ids::kTagBox, "005");
  ASSERT_TRUE(PrepareSelection(state, view));
  const auto first = Sequences(state.selectionList);
  ASSERT_TRUE(PrepareSelection(state, view));
  EXPECT_EQ(Sequences(state.selectionList), first);
  EXPECT_EQ(first, (std::vector<std::int32_t>{1, 2}));
}

}  // namespace
}  // namespace quillon
