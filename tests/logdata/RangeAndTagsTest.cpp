#include "logdata/RangeAndTags.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/ControlIds.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

using testing::FakeWindowView;

using Items = std::vector<std::pair<std::string, std::intptr_t>>;

Items ItemsOf(const ComboModel& box) {
  Items items;
  for (const auto& item : box.Items()) items.emplace_back(item.text, item.data);
  return items;
}

constexpr int kUntagged = -1;

FixRecord Fix(int tag) {
  FixRecord r;
  r.untagged = tag == kUntagged;
  r.tag = r.untagged ? kNoTag : static_cast<std::uint16_t>(tag);
  return r;
}

struct TagIndexCase {
  const char* name;
  std::vector<int> tags;
  Items items;
  int selection;
};

TEST(ShowRangeAndTags, AddsAnItemAtEveryChangeOfTag) {
  const TagIndexCase cases[] = {
      {"1 1 2 2 1", {1, 1, 2, 2, 1}, {{"001", 0}, {"001", 2}, {"002", 1}}, ComboModel::kNone},
      {"3 3 5 3", {3, 3, 5, 3}, {{"003", 0}, {"003", 2}, {"005", 1}}, ComboModel::kNone},
      {"untagged fixes between tags", {kUntagged, 4, kUntagged, 4, 9}, {{"004", 0}, {"009", 1}}, ComboModel::kNone},
      {"tag 45 is a tag like any other", {kUntagged, 44, 45, kUntagged, 46}, {{"044", 0}, {"045", 1}, {"046", 2}},
       ComboModel::kNone},
      {"no tag field at all", {0, 0, 0}, {{"000", 0}}, ComboModel::kNone},
      {"all untagged", {kUntagged, kUntagged}, {{"No any tag", 0}}, 0},
      {"tag 255", {255}, {{"255", 0}}, ComboModel::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppState state;
    FakeWindowView view;
    for (auto tag : c.tags) state.fixList.Append(Fix(tag));
    EXPECT_TRUE(ShowRangeAndTags(state, view));
    EXPECT_EQ(ItemsOf(state.tagBox), c.items);
    EXPECT_EQ(state.tagBox.GetCurSel(), c.selection);
    EXPECT_EQ(state.tagBox.GetEditText(), c.selection == 0 ? "No any tag" : "");
  }
}

FixRecord TimedFix(int utcYear, int utcMonth, int utcDay, int utcHour, int localYear, int localMonth, int localDay,
                   int localHour) {
  FixRecord r;
  r.utcYear = static_cast<std::uint8_t>(utcYear);
  r.utcMonth = static_cast<std::uint8_t>(utcMonth);
  r.utcDay = static_cast<std::uint8_t>(utcDay);
  r.utcHour = static_cast<std::uint8_t>(utcHour);
  r.localYear = static_cast<std::int16_t>(localYear);
  r.localMonth = static_cast<std::uint8_t>(localMonth);
  r.localDay = static_cast<std::uint8_t>(localDay);
  r.localHour = static_cast<std::uint8_t>(localHour);
  r.tag = kNoTag;
  r.untagged = true;
  return r;
}

std::vector<std::string> DateFields(const FakeWindowView& view) {
  std::vector<std::string> fields;
  for (int id = ids::kFromYear; id <= ids::kToHour; ++id) fields.push_back(view.GetItemText(id));
  return fields;
}

TEST(ShowRangeAndTags, WritesFirstAndLastFixTimeInTheCheckedClock) {
  AppState state;
  state.fixList.Append(TimedFix(7, 12, 31, 23, 8, 1, 1, 7));
  state.fixList.Append(TimedFix(8, 1, 1, 0, 8, 1, 1, 8));
  state.fixList.Append(TimedFix(8, 2, 3, 4, 8, 2, 3, 12));
  FakeWindowView view;
  view.SetChecked(ids::kUseLocalTime, true);
  ASSERT_TRUE(ShowRangeAndTags(state, view));
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2008", "01", "01", "07", "2008", "02", "03", "12"}));

  view.SetChecked(ids::kUseLocalTime, false);
  OnUseLocalTime(state, view);
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2007", "12", "31", "23", "2008", "02", "03", "04"}));
  view.SetChecked(ids::kUseLocalTime, true);
  OnUseLocalTime(state, view);
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2008", "01", "01", "07", "2008", "02", "03", "12"}));
  EXPECT_EQ(ItemsOf(state.tagBox), (Items{{"No any tag", 0}}));
}

TEST(ShowRangeAndTags, OneFixFillsFromAndToAlike) {
  AppState state;
  state.fixList.Append(TimedFix(8, 3, 12, 6, 8, 3, 12, 14));
  FakeWindowView view;
  ASSERT_TRUE(ShowRangeAndTags(state, view));
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2008", "03", "12", "06", "2008", "03", "12", "06"}));
}

TEST(ShowRangeAndTags, InvalidDateShowsYear2000AndZerosInLocalTime) {
  AppState state;
  state.fixList.Append(TimedFix(0, 0, 0, 5, 0, 0, 0, 0));
  FakeWindowView view;
  view.SetChecked(ids::kUseLocalTime, true);
  ASSERT_TRUE(ShowRangeAndTags(state, view));
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2000", "00", "00", "00", "2000", "00", "00", "00"}));
}

TEST(ShowRangeAndTags, EmptyListTouchesNothing) {
  AppState state;
  FakeWindowView view;
  view.SetItemText(ids::kFromYear, "2007");
  EXPECT_FALSE(ShowRangeAndTags(state, view));
  OnUseLocalTime(state, view);
  EXPECT_EQ(state.tagBox.GetCount(), 0);
  EXPECT_EQ(view.texts.size(), 1u);
  EXPECT_EQ(view.GetItemText(ids::kFromYear), "2007");
}

}  // namespace
}  // namespace quillon
