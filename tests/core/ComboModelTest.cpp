#include "core/ComboModel.h"
#include "core/ComPortList.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

std::vector<std::string> Texts(const ComboModel& m) {
  std::vector<std::string> out;
  for (const auto& item : m.Items()) out.push_back(item.text);
  return out;
}

TEST(ComboModel, KeepsItemsSortedAndEqualTextsInOrderOfAddition) {
  ComboModel m;
  for (const char* t : {"001", "002", "001"}) {
    int i = m.AddString(t);
    m.SetItemData(i, m.GetCount() - 1);
  }
  EXPECT_EQ(Texts(m), (std::vector<std::string>{"001", "001", "002"}));
  EXPECT_EQ(m.GetItemData(0), 0);
  EXPECT_EQ(m.GetItemData(1), 2);
  EXPECT_EQ(m.GetItemData(2), 1);
}

TEST(ComPortList, ItemIndexIsThePortNumberAndCom02IsSelected) {
  ComboModel m;
  m.AddString("left over");
  FillComPortList(m);
  ASSERT_EQ(m.GetCount(), 100);
  for (int n : {0, 1, 2, 9, 10, 55, 99}) {
    SCOPED_TRACE(n);
    EXPECT_EQ(m.GetItemText(n), n == 0 ? std::string() : (n < 10 ? "COM0" : "COM") + std::to_string(n));
  }
  EXPECT_EQ(m.GetCurSel(), 2);
  EXPECT_EQ(m.GetEditText(), "COM02");
}

TEST(ComboModel, AddingManyAtOnceEqualsAddingOneByOne) {
  const std::vector<std::string> existing = {"003", "001"};
  const std::vector<std::string> added = {"002", "001", "010", "003", "000", "001"};
  ComboModel oneByOne;
  ComboModel bulk;
  for (const auto& t : existing) {
    oneByOne.SetItemData(oneByOne.AddString(t), 100);
    bulk.SetItemData(bulk.AddString(t), 100);
  }
  oneByOne.SetCurSel(1);
  bulk.SetCurSel(1);
  std::vector<ComboModel::Item> items;
  for (std::size_t i = 0; i < added.size(); ++i) {
    oneByOne.SetItemData(oneByOne.AddString(added[i]), static_cast<std::intptr_t>(i));
    items.push_back({added[i], static_cast<std::intptr_t>(i)});
  }
  int notifications = 0;
  bulk.SetListener([&] { ++notifications; });
  bulk.AddItems(items);
  EXPECT_EQ(notifications, 1);
  ASSERT_EQ(Texts(bulk), Texts(oneByOne));
  for (int i = 0; i < bulk.GetCount(); ++i) EXPECT_EQ(bulk.GetItemData(i), oneByOne.GetItemData(i)) << i;
  EXPECT_EQ(bulk.GetCurSel(), oneByOne.GetCurSel());
  EXPECT_EQ(bulk.GetItemText(bulk.GetCurSel()), "003");
}

TEST(ComboModel, SortIgnoresCase) {
  ComboModel m;
  m.AddString("b");
  m.AddString("A");
  m.AddString("a");
  EXPECT_EQ(Texts(m), (std::vector<std::string>{"A", "a", "b"}));
}

TEST(ComboModel, SelectionFollowsInsertionsAndDeletions) {
  ComboModel m;
  m.AddString("b");
  ASSERT_TRUE(m.SetCurSel(0));
  EXPECT_EQ(m.GetEditText(), "b");
  m.AddString("a");
  EXPECT_EQ(m.GetCurSel(), 1);
  ASSERT_TRUE(m.DeleteString(0));
  EXPECT_EQ(m.GetCurSel(), 0);
  ASSERT_TRUE(m.DeleteString(0));
  EXPECT_EQ(m.GetCurSel(), ComboModel::kNone);
  EXPECT_EQ(m.GetEditText(), "b");
  EXPECT_FALSE(m.DeleteString(0));
}

TEST(ComboModel, SelectingOutsideTheListClearsSelectionAndEdit) {
  ComboModel m;
  m.AddString("x");
  m.SetCurSel(0);
  EXPECT_FALSE(m.SetCurSel(5));
  EXPECT_EQ(m.GetCurSel(), ComboModel::kNone);
  EXPECT_EQ(m.GetEditText(), "");
}

TEST(ComboModel, TypingReplacesEditTextAndDropsSelection) {
  ComboModel m;
  m.AddString("005");
  m.SetCurSel(0);
  m.SetEditText("7");
  EXPECT_EQ(m.GetEditText(), "7");
  EXPECT_EQ(m.GetCurSel(), ComboModel::kNone);
}

TEST(ComboModel, NotifiesItsListenerOnEveryChange) {
  ComboModel m;
  int calls = 0;
  m.SetListener([&] { ++calls; });
  m.AddString("a");
  m.SetCurSel(0);
  m.SetEditText("b");
  m.Clear();
  EXPECT_EQ(calls, 4);
}

}  // namespace
}  // namespace quillon
