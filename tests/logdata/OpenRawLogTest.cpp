#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/ControlIds.h"
#include "logdata/OpenRawLog.h"
#include "logdata/RawLogSelection.h"
#include "platform/Utf8Path.h"
#include "tests/logdata/LogdataTestSupport.h"
#include "tests/support/FakeWindowView.h"
#include "tests/support/NativePath.h"

namespace quillon {
namespace {

using testing::FakeWindowView;
using testing::TempWorkingDirectory;
using testing::TimeZoneScope;
using testing::WriteFile;

// 2008-03-12 06:45:06 UTC.
constexpr std::time_t kModified = 1205304306;

TEST(NameOpenedRawLog, PatternNamesKeepTheirStampOthersTakeTheModificationTime) {
  struct Case {
    const char* name;
    const char* zone;
    OpenedLogName expected;
  };
  const std::vector<Case> cases = {
      {"20080312064506_Rawdata_1234567.txt", "Asia/Taipei", {"20080312064506", 1234567}},
      {"20090101000000_Rawdata_0042.TXT", "UTC", {"20090101000000", 42}},
      {"trip.txt", "Asia/Taipei", {"20080312144506", 0}},
      {"trip.txt", "Europe/Berlin", {"20080312074506", 0}},
      {"Rawdata.txt", "UTC", {"20080312064506", 0}},
      // Close to the pattern is not the pattern.
      {"2008031206450_Rawdata_7.txt", "UTC", {"20080312064506", 0}},
      {"20080312064506_Rawdata_.txt", "UTC", {"20080312064506", 0}},
      {"20080312064506_Rawdata_7x.txt", "UTC", {"20080312064506", 0}},
      {"20080312064506_Rawdata_7.log", "UTC", {"20080312064506", 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " in " + c.zone);
    TimeZoneScope zone(c.zone);
    EXPECT_EQ(NameOpenedRawLog(c.name, kModified), c.expected);
  }
}

class OpenRawLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile("Rawdata/20080101080005_Rawdata_1234.txt", testing::ReadFile(testing::DataFile("logdata_tagged.txt")));
    ReloadLogData(state, view);
    ASSERT_EQ(state.fixList.Size(), 5u);
  }

  TimeZoneScope zone{"Asia/Taipei"};
  TempWorkingDirectory directory;
  AppState state;
  FakeWindowView view;
};

TEST_F(OpenRawLogTest, AnyFileLoadsThroughTheReloadAndTheNextReloadTakesTheNewestAgain) {
  const std::filesystem::path other = directory.Path() / "elsewhere" / "my trip.log";
  WriteFile(other, testing::ReadFile(testing::DataFile("logdata_plain_lf.txt")));
  std::filesystem::last_write_time(
      other, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(kModified)));

  ASSERT_TRUE(OpenRawLogFile(state, view, other.string()));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(state.rawLogPath, testing::NativePath("elsewhere/my trip.log"));
  EXPECT_EQ(view.GetItemText(ids::kFileNameLabel), testing::NativePath("elsewhere/my trip.log"));
  EXPECT_EQ(state.logStamp, "20080312144506");
  EXPECT_EQ(state.logSerial, 0u);
  EXPECT_EQ(state.fixList.Size(), 2u);
  EXPECT_EQ(state.tagBox.GetCount(), 1) << "the untagged log's tag box, not the previous one's";
  EXPECT_EQ(view.GetItemText(ids::kFromYear), "2008");
  EXPECT_EQ(view.GetItemText(ids::kFromMonth), "07");

  // A second open keeps the newest-file rule's name from before the first.
  ASSERT_TRUE(OpenRawLogFile(state, view, (directory.Path() / "Rawdata/20080101080005_Rawdata_1234.txt").string()));
  EXPECT_EQ(state.rawLogPath, testing::NativePath("Rawdata/20080101080005_Rawdata_1234.txt"));
  EXPECT_EQ(state.logSerial, 1234u);

  WriteFile("Rawdata/20071231000000_Rawdata_99.txt", testing::ReadFile(testing::DataFile("logdata_plain_lf.txt")));
  ReloadLogData(state, view);
  EXPECT_EQ(state.rawLogPath, testing::NativePath("Rawdata/20080101080005_Rawdata_1234.txt"));
  EXPECT_EQ(state.logStamp, "20080101080005");
  EXPECT_EQ(state.fixList.Size(), 5u);
  EXPECT_FALSE(state.newestRuleName.has_value());
}

TEST_F(OpenRawLogTest, AnOlderPatternFileGivesItsOwnStampUntilTheNextReload) {
  WriteFile("Rawdata/20071231000000_Rawdata_99.txt", testing::ReadFile(testing::DataFile("logdata_plain_lf.txt")));
  ASSERT_TRUE(OpenRawLogFile(state, view, "Rawdata/20071231000000_Rawdata_99.txt"));
  EXPECT_EQ(state.logStamp, "20071231000000");
  EXPECT_EQ(state.logSerial, 99u);
  EXPECT_EQ(state.fixList.Size(), 2u);
  ReloadLogData(state, view);
  EXPECT_EQ(state.logStamp, "20080101080005");
  EXPECT_EQ(state.logSerial, 1234u);
  EXPECT_EQ(state.fixList.Size(), 5u);
}

TEST_F(OpenRawLogTest, AFileThatCannotBeReadKeepsTheLoadedLogAndSaysWhy) {
  std::filesystem::create_directories("a folder.txt");
  struct Case {
    std::string path;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"missing.txt", "the file does not exist"},
      {"a folder.txt", "it is a folder, not a file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    view.messages.clear();
    EXPECT_FALSE(OpenRawLogFile(state, view, c.path));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, "Can't open " + c.path + ": " + c.reason + ". The log loaded before stays.");
    EXPECT_EQ(view.messages[0].caption, "Info");
    EXPECT_EQ(state.rawLogPath, testing::NativePath("Rawdata/20080101080005_Rawdata_1234.txt"));
    EXPECT_EQ(view.GetItemText(ids::kFileNameLabel), state.rawLogPath);
    EXPECT_EQ(state.logSerial, 1234u);
    EXPECT_EQ(state.fixList.Size(), 5u);
    EXPECT_EQ(state.tagBox.GetCount(), 3);
  }
}

// A working folder, a raw log and a file in Rawdata whose names a Western
// PC's code page cannot spell: opened, shown as typed, and listed by the
// newest-file rule without taking the odd name for a log of the pattern.
TEST_F(OpenRawLogTest, NamesOutsideTheAnsiCodePageOpenAndShowAsTyped) {
  const std::string folderName = "\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe \xe5\x86\x99\xe7\x9c\x9f";  // Фото 写真
  const std::string logName = "\xc3\x96lfeld \xe5\x86\x99.txt";                                  // Ölfeld 写.txt
  const std::filesystem::path work = directory.Path() / Utf8Path(folderName);
  std::filesystem::create_directories(work / "Rawdata");
  WriteFile(work / "Rawdata" / "20080101080005_Rawdata_1234.txt",
            testing::ReadFile(testing::DataFile("logdata_tagged.txt")));
  WriteFile(work / "Rawdata" / Utf8Path(logName), testing::ReadFile(testing::DataFile("logdata_plain_lf.txt")));
  std::filesystem::current_path(work);

  ASSERT_TRUE(OpenRawLogFile(state, view, Utf8Text(work / "Rawdata" / Utf8Path(logName))));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(state.rawLogPath, testing::NativePath("Rawdata/" + logName));
  EXPECT_EQ(view.GetItemText(ids::kFileNameLabel), state.rawLogPath);
  EXPECT_EQ(state.fixList.Size(), 2u);

  ReloadLogData(state, view);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(state.rawLogPath, testing::NativePath("Rawdata/20080101080005_Rawdata_1234.txt"));
  EXPECT_EQ(state.fixList.Size(), 5u);
}

}  // namespace
}  // namespace quillon
