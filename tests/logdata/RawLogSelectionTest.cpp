#include "logdata/RawLogSelection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "logdata/RangeAndTags.h"
#include "tests/logdata/LogdataTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

using testing::FakeWindowView;
using testing::ShownMessage;
using testing::TempWorkingDirectory;
using testing::TimeZoneScope;
using testing::WriteFile;

struct NameStep {
  std::string name;
  bool adopted;
  std::string stamp;
  std::uint32_t serial;
};

struct NameCase {
  const char* title;
  std::vector<NameStep> steps;
};

TEST(ConsiderRawLogName, AdoptsOnlyStrictlyNewerStamps) {
  const NameCase cases[] = {
      {"newer second", {{"20080312064506_Rawdata_7.txt", true, "20080312064506", 7},
                        {"20080313000000_Rawdata_7.txt", true, "20080313000000", 7}}},
      {"newer first", {{"20080313000000_Rawdata_7.txt", true, "20080313000000", 7},
                       {"20080312064506_Rawdata_7.txt", false, "20080313000000", 7}}},
      {"same stamp keeps the first", {{"20080312064506_Rawdata_7.txt", true, "20080312064506", 7},
                                      {"20080312064506_Rawdata_8.txt", false, "20080312064506", 7}}},
      {"later time same day", {{"20080312064506_Rawdata_7.txt", true, "20080312064506", 7},
                               {"20080312064507_Rawdata_9.txt", true, "20080312064507", 9}}},
      {"no underscore ignored", {{"Rawdata.txt", false, "", 0}}},
      {"short rest keeps serial", {{"abc_x.txt", true, "abc", 0}}},
      {"any prefix becomes the stamp", {{"notes_Rawdata_12.txt", true, "notes", 12}}},
      {"large serial", {{"20080312064506_Rawdata_4294967295.txt", true, "20080312064506", 4294967295u}}},
      {"leading zeros", {{"20080312064506_Rawdata_0001234.txt", true, "20080312064506", 1234}}},
      {"later name shorter than a stamp", {{"20080312064506_Rawdata_7.txt", true, "20080312064506", 7},
                                           {"2009.txt", false, "20080312064506", 7}}},
      {"later name without serial", {{"20080312064506_Rawdata_7.txt", true, "20080312064506", 7},
                                     {"20090101000000.txt", true, "20090101000000", 0}}},
      {"later name with large serial", {{"20080312064506_Rawdata_7.txt", true, "20080312064506", 7},
                                        {"20090101000000_Rawdata_3000000000.txt", true, "20090101000000",
                                         3000000000u}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.title);
    AppState state;
    for (const auto& step : c.steps) {
      SCOPED_TRACE(step.name);
      EXPECT_EQ(ConsiderRawLogName(state, step.name), step.adopted);
      EXPECT_EQ(state.logStamp, step.stamp);
      EXPECT_EQ(state.logSerial, step.serial);
      if (step.adopted) {
        EXPECT_EQ(state.logFileName, step.name);
      }
    }
  }
}

class RawLogSelectionTest : public ::testing::Test {
 protected:
  static std::string RawPath(const std::string& name) { return std::string("Rawdata") + kPathSeparator + name; }
  void AddLog(const std::string& name, const std::string& dataFile) {
    WriteFile(RawPath(name), testing::ReadFile(testing::DataFile(dataFile)));
  }

  TempWorkingDirectory directory;
  AppState state;
  FakeWindowView view;
};

TEST_F(RawLogSelectionTest, SelectsTheNewestStampWhateverTheListing) {
  WriteFile(RawPath("20080313000000_Rawdata_7.txt"), "");
  WriteFile(RawPath("20080312064506_Rawdata_7.txt"), "");
  WriteFile(RawPath("Rawdata.txt"), "");
  WriteFile(RawPath("20090101000000_Rawdata_8.log"), "");
  ASSERT_TRUE(SelectNewestRawLog(state, view));
  EXPECT_EQ(state.rawLogPath, RawPath("20080313000000_Rawdata_7.txt"));
  EXPECT_EQ(view.GetItemText(ids::kFileNameLabel), state.rawLogPath);
  EXPECT_EQ(state.logStamp, "20080313000000");
  EXPECT_EQ(state.logSerial, 7u);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(RawLogSelectionTest, NoRawLogFileIsReported) {
  for (bool withFolder : {false, true}) {
    SCOPED_TRACE(withFolder ? "empty folder" : "no folder");
    if (withFolder) {
      std::filesystem::create_directories("Rawdata/sub.txt");
      WriteFile(RawPath("notes.csv"), "");
    }
    FakeWindowView fresh;
    EXPECT_FALSE(SelectNewestRawLog(state, fresh));
    EXPECT_EQ(fresh.messages, (std::vector<ShownMessage>{
                                  {"No any Dump Logger data file", "Info", MessageButtons::kOk, true}}));
    EXPECT_EQ(state.rawLogPath, RawPath("Rawdata.txt"));
  }
}

TEST_F(RawLogSelectionTest, OnlyRawdataTxtGivesAPathThatCannotBeOpened) {
  WriteFile(RawPath("Rawdata.txt"), "");
  ASSERT_TRUE(SelectNewestRawLog(state, view));
  EXPECT_EQ(state.rawLogPath, RawPath("_Rawdata_0.txt"));
}

TEST_F(RawLogSelectionTest, SerialsWithLeadingZerosOrBeyond31BitsLoadTheirOwnFile) {
  for (std::string name : {"20080312064506_Rawdata_0001234.txt", "20080312064507_Rawdata_4294967295.txt"}) {
    SCOPED_TRACE(name);
    WriteFile(RawPath(name), "");
    ASSERT_TRUE(SelectNewestRawLog(state, view));
    EXPECT_EQ(state.rawLogPath, RawPath(name));
    EXPECT_TRUE(std::filesystem::exists(state.rawLogPath));
  }
  EXPECT_EQ(state.logSerial, 4294967295u);
}

TEST_F(RawLogSelectionTest, LongNamesAreKeptWhole) {
  std::string name = "20080312064506_Rawdata_" + std::string(200, '1') + ".txt";
  WriteFile(RawPath(name), "");
  ASSERT_TRUE(SelectNewestRawLog(state, view));
  EXPECT_EQ(state.rawLogPath, RawPath(name));
}

TEST_F(RawLogSelectionTest, AnOlderNewFileKeepsThePreviousSelection) {
  WriteFile(RawPath("20080312064506_Rawdata_7.txt"), "");
  ASSERT_TRUE(SelectNewestRawLog(state, view));
  // The dump names a file by the PC clock, which has been set back.
  state.rawLogPath = RawPath("20080101000000_Rawdata_7.txt");
  WriteFile(state.rawLogPath, "");
  ASSERT_TRUE(SelectNewestRawLog(state, view));
  EXPECT_EQ(state.rawLogPath, RawPath("20080312064506_Rawdata_7.txt"));
  // A later dump is selected.
  WriteFile(RawPath("20080312070000_Rawdata_7.txt"), "");
  ASSERT_TRUE(SelectNewestRawLog(state, view));
  EXPECT_EQ(state.rawLogPath, RawPath("20080312070000_Rawdata_7.txt"));
}

std::vector<std::string> DateFields(const FakeWindowView& view) {
  std::vector<std::string> fields;
  for (int id = ids::kFromYear; id <= ids::kToHour; ++id) fields.push_back(view.GetItemText(id));
  return fields;
}

using Items = std::vector<std::pair<std::string, std::intptr_t>>;

Items ItemsOf(const ComboModel& box) {
  Items items;
  for (const auto& item : box.Items()) items.emplace_back(item.text, item.data);
  return items;
}

TEST_F(RawLogSelectionTest, ReloadBuildsFixesDateFieldsAndTagBox) {
  TimeZoneScope zone("Asia/Taipei");
  AddLog("20071231000000_Rawdata_99.txt", "logdata_plain_lf.txt");
  AddLog("20080101080005_Rawdata_0001234.txt", "logdata_tagged.txt");
  view.SetChecked(ids::kUseLocalTime, true);
  ReloadLogData(state, view);

  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.GetItemText(ids::kFileNameLabel), RawPath("20080101080005_Rawdata_0001234.txt"));
  EXPECT_EQ(state.logSerial, 1234u);
  ASSERT_EQ(state.fixList.Size(), 5u);
  EXPECT_EQ(state.fixList[0].sequence, 1);
  EXPECT_EQ(state.fixList[4].sequence, 5);  // the Checksum line counts nothing
  EXPECT_EQ(state.fixList[2].satellites, 9);
  EXPECT_EQ(state.fixList[3].speedKnots, 6);
  EXPECT_EQ(state.fixList[4].courseText.View(), "127.75");
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2008", "01", "01", "07", "2008", "01", "01", "08"}));
  EXPECT_EQ(ItemsOf(state.tagBox), (Items{{"007", 0}, {"007", 2}, {"012", 1}}));
  EXPECT_EQ(state.tagBox.GetCurSel(), ComboModel::kNone);

  view.SetChecked(ids::kUseLocalTime, false);
  OnUseLocalTime(state, view);
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2007", "12", "31", "23", "2008", "01", "01", "00"}));
  EXPECT_EQ(state.tagBox.GetCount(), 3);
}

TEST_F(RawLogSelectionTest, ReloadOfAnUntaggedLogShowsNoAnyTag) {
  TimeZoneScope zone("Europe/Berlin");
  AddLog("20080715120000_Rawdata_5.txt", "logdata_plain_lf.txt");
  view.SetChecked(ids::kUseLocalTime, true);
  ReloadLogData(state, view);
  ASSERT_EQ(state.fixList.Size(), 2u);  // the last line has no line feed
  EXPECT_EQ(state.fixList[0].tag, 0);
  EXPECT_EQ(state.fixList[1].latitudeText.View(), "");
  EXPECT_EQ(state.fixList.RmcSentence(state.fixList[0]),
            "$GPRMC,120000.000,A,4717.1140,N,00833.9150,E,3.50,087.10,150708,,,A*6A");
  EXPECT_EQ(DateFields(view), (std::vector<std::string>{"2008", "07", "15", "14", "2008", "07", "15", "14"}));
  EXPECT_EQ(ItemsOf(state.tagBox), (Items{{"000", 0}}));
}

TEST_F(RawLogSelectionTest, ReloadEmptiesTheTagBoxAndListFirst) {
  TimeZoneScope zone("UTC");
  AddLog("20080101080005_Rawdata_1.txt", "logdata_tagged.txt");
  for (int i = 0; i < 300; ++i) state.tagBox.AddString("999");
  state.tagBox.SetEditText("999");
  ReloadLogData(state, view);
  EXPECT_EQ(state.tagBox.GetCount(), 3);
  EXPECT_EQ(state.tagBox.GetEditText(), "");

  std::filesystem::remove_all("Rawdata");
  view.SetItemText(ids::kFromYear, "1999");
  ReloadLogData(state, view);
  EXPECT_TRUE(state.fixList.Empty());
  EXPECT_EQ(state.tagBox.GetCount(), 0);
  EXPECT_EQ(view.GetItemText(ids::kFromYear), "1999");
  EXPECT_EQ(view.messages.back(), (ShownMessage{"No any Dump Logger data file", "Info", MessageButtons::kOk, true}));
}

TEST_F(RawLogSelectionTest, ReloadAfterTheFileWentParsesThePreviousTextAgain) {
  TimeZoneScope zone("UTC");
  AddLog("20080101080005_Rawdata_1.txt", "logdata_tagged.txt");
  ReloadLogData(state, view);
  ASSERT_EQ(state.fixList.Size(), 5u);
  std::filesystem::remove(RawPath("20080101080005_Rawdata_1.txt"));
  WriteFile(RawPath("Rawdata.txt"), "");
  ReloadLogData(state, view);
  EXPECT_EQ(view.messages, (std::vector<ShownMessage>{{"Can't open Rawdata.txt", "Info", MessageButtons::kOk, true}}));
  ASSERT_EQ(state.fixList.Size(), 5u);
  EXPECT_EQ(state.fixList[0].sequence, 6);
  EXPECT_EQ(state.tagBox.GetCount(), 3);
}

}  // namespace
}  // namespace quillon
