#include "device/LogDownload.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "core/ControlIds.h"
#include "tests/support/FakeDevice.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon {
namespace {

using testing::DeviceRig;
using Events = std::vector<std::string>;

const std::string kPleaseOpen = "Please Open Com Port \xEF\xBC\x81";
const std::string kSep(1, kPathSeparator);

TEST(RawLogName, UsesTheLocalTimeAndTheUnsignedSerial) {
  struct Case {
    const char* zone;
    std::time_t now;
    std::uint32_t serial;
    std::string name;
  };
  const Case cases[] = {
      {"UTC", 1205330709, 123456, "20080312140509_Rawdata_123456.txt"},
      {"Asia/Taipei", 1205330709, 123456, "20080312220509_Rawdata_123456.txt"},
      {"Asia/Taipei", 1205352000, 1, "20080313040000_Rawdata_1.txt"},
      {"Asia/Taipei", 1199145599, 0, "20080101075959_Rawdata_0.txt"},
      {"Europe/Berlin", 1214906400, 7, "20080701120000_Rawdata_7.txt"},  // summer time
      {"Europe/Berlin", 1230766200, 7, "20090101003000_Rawdata_7.txt"},
      {"UTC", 1205330709, 4294967295u, "20080312140509_Rawdata_4294967295.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + c.name);
    testing::TimeZoneScope zone(c.zone);
    EXPECT_EQ(RawLogNameAt(c.now, c.serial), "Rawdata" + kSep + c.name);
  }
}

TEST(RawLogName, LongestNameHas45Characters) {
  testing::TimeZoneScope zone("UTC");
  EXPECT_EQ(RawLogNameAt(1205330709, 4294967295u).size(), 45u);
}

TEST(BuildRawLogName, NamesTheDownloadAfterTheCurrentLocalTimeAndTheSerialNumber) {
  testing::TimeZoneScope zone("Asia/Taipei");
  AppState state;
  state.device.serialNumber = 2147483648u;
  const std::time_t before = std::time(nullptr);
  BuildRawLogName(state);
  const std::time_t after = std::time(nullptr);
  EXPECT_TRUE(state.rawLogPath == RawLogNameAt(before, 2147483648u) ||
              state.rawLogPath == RawLogNameAt(after, 2147483648u))
      << state.rawLogPath;
}

TEST(OnDownloadLog, RefusesBeforeAnOpening) {
  DeviceRig rig;
  const std::string path = rig.state.rawLogPath;
  OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
  EXPECT_EQ(rig.log.events, (Events{"view: " + kPleaseOpen}));
  EXPECT_EQ(rig.view.messages[0].caption, "API-return");
  EXPECT_EQ(rig.state.rawLogPath, path);
}

struct OpenedRig : DeviceRig {
  OpenedRig() {
    state.device.portOpened = true;
    state.device.serialNumber = 123456;
    state.device.scanPort = 9;
    view.texts[ids::kFileNameLabel] = "old";
  }
};

const std::regex kNewName("Rawdata[/\\\\][0-9]{14}_Rawdata_123456\\.txt");

TEST(OnDownloadLog, NamesTheFileBeforeEnteringDumpMode) {
  OpenedRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 3;
  OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "view: Open COM Port Error"}));
  EXPECT_TRUE(std::regex_match(rig.state.rawLogPath, kNewName)) << rig.state.rawLogPath;
}

TEST(OnDownloadLog, MissingDumpEntryPoint) {
  OpenedRig rig;
  rig.device.missing.insert(EntryPoint::kDumpDb);
  OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "view: ORVEX_DLL.dll not find"}));
}

TEST(OnDownloadLog, FailedDumpReportsAndStaysInDumpMode) {
  struct Case {
    int code;
    const char* message;  // null: nothing shown
  };
  const Case cases[] = {
      {26, "Can't into dump mode.Please try again !!"},
      {5, "Memory not enough "},
      {6, "Can't build dump file"},
      {7, "Can't build StorDB file"},
      {8, "Can't build output file"},
      {9, "Can't open dump file"},
      {10, "Can't open storDB file"},
      {11, "Can't open output file"},
      {12, "Device not report "},
      {0, nullptr},
      {3, nullptr},
      {13, nullptr},
      {24, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    OpenedRig rig;
    rig.device.codes[EntryPoint::kDumpDb] = c.code;
    OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
    ASSERT_TRUE(std::regex_match(rig.state.rawLogPath, kNewName)) << rig.state.rawLogPath;
    Events expected{"IntoDumpMode(2)", "DumpDb(2," + rig.state.rawLogPath + ")"};
    if (c.message) expected.push_back(std::string("view: ") + c.message);
    EXPECT_EQ(rig.log.events, expected);
    for (const auto& m : rig.view.messages) EXPECT_EQ(m.caption, "API-return");
    EXPECT_EQ(rig.view.texts[ids::kFileNameLabel], "old");
    EXPECT_TRUE(rig.state.fixList.Empty());
    EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
  }
}

// Two fixes, the second with tag 7, as the logger's library writes them.
const char kDumpedLog[] =
    "---,$GPGGA,120000.000,2503.1234,N,12131.5678,E,1,08,1.0,50.0,M,15.0,M,,0000*5A\r\n"
    "---,$GPRMC,120000.000,A,2503.1234,N,12131.5678,E,0.00,0.00,120308,,,A*6B\r\n"
    "--7,$GPGGA,120005.000,2503.2234,N,12131.6678,E,1,08,1.0,51.0,M,15.0,M,,0000*5B\r\n"
    "--7,$GPRMC,120005.000,A,2503.2234,N,12131.6678,E,3.10,90.00,120308,,,A*6C\r\n";

struct DownloadRig : OpenedRig {
  DownloadRig() {
    std::filesystem::create_directory("Rawdata");
    std::ofstream("Rawdata" + kSep + "20000101000000_Rawdata_5.txt") << kDumpedLog;
    device.dumpFileContent = kDumpedLog;
  }
  // A member, so the constructor body above already runs inside it.
  testing::TempWorkingDirectory directory;
};

TEST(OnDownloadLog, ReloadsTheNewFileAndAsksToErase) {
  DownloadRig rig;
  rig.view.answers.push_back(MessageAnswer::kCancel);
  OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
  ASSERT_TRUE(std::regex_match(rig.state.rawLogPath, kNewName)) << rig.state.rawLogPath;
  EXPECT_TRUE(std::filesystem::exists(rig.state.rawLogPath));
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "DumpDb(2," + rig.state.rawLogPath + ")",
                                    "view: Dump Logger data successful", "ExitDumpMode",
                                    "view: DO you want to erase logger data now?"}));
  EXPECT_EQ(rig.view.texts[ids::kFileNameLabel], rig.state.rawLogPath);
  EXPECT_EQ(rig.state.fixList.Size(), 2u);
  EXPECT_EQ(rig.state.logSerial, 123456u);
  const auto& question = rig.view.messages.back();
  EXPECT_EQ(question.caption, "info");
  EXPECT_EQ(question.buttons, MessageButtons::kOkCancel);
  EXPECT_EQ(rig.view.messages[0].caption, "API-return");
  EXPECT_EQ(rig.device.CountCalls(EntryPoint::kEraseAllDb), 0);
  EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
}

TEST(OnDownloadLog, ReloadWithoutAFileKeepsTheNewName) {
  DownloadRig rig;
  std::filesystem::remove_all("Rawdata");
  std::filesystem::create_directory("Rawdata");
  rig.device.dumpFileContent.reset();
  rig.view.answers.push_back(MessageAnswer::kCancel);
  OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
  ASSERT_TRUE(std::regex_match(rig.state.rawLogPath, kNewName)) << rig.state.rawLogPath;
  EXPECT_EQ(rig.view.texts[ids::kFileNameLabel], rig.state.rawLogPath);
  EXPECT_TRUE(rig.state.fixList.Empty());
  EXPECT_EQ(rig.view.MessageTexts(),
            (std::vector<std::string>{"No any Dump Logger data file", "Dump Logger data successful",
                                      "DO you want to erase logger data now?"}));
}

TEST(OnDownloadLog, OkErasesTheLoggerWithOwnerlessMessages) {
  struct Case {
    int eraseEnterCode;
    int eraseCode;
    Events eraseEvents;
  };
  const Case cases[] = {
      {24, 13, {"IntoDumpMode(2)", "EraseAllDb(9)", "ExitDumpMode", "ownerless: Erase database successful"}},
      {24, 26, {"IntoDumpMode(2)", "EraseAllDb(9)", "ExitDumpMode", "ownerless: Not dump mode"}},
      {24, 12, {"IntoDumpMode(2)", "EraseAllDb(9)", "ExitDumpMode", "ownerless: Device not report"}},
      {24, 0, {"IntoDumpMode(2)", "EraseAllDb(9)", "ExitDumpMode"}},
      {4, 13, {"IntoDumpMode(2)", "ownerless: Can't into dump mode.Please try again !!"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("erase enter " + std::to_string(c.eraseEnterCode) + ", erase " + std::to_string(c.eraseCode));
    DownloadRig rig;
    rig.view.answers.push_back(MessageAnswer::kOk);
    rig.device.nextCodes[EntryPoint::kIntoDumpMode] = {24, c.eraseEnterCode};
    rig.device.codes[EntryPoint::kEraseAllDb] = c.eraseCode;
    OnDownloadLog(rig.state, rig.device, rig.view, rig.ownerless);
    ASSERT_GE(rig.log.events.size(), 5u);
    EXPECT_EQ(rig.log.events[4], "view: DO you want to erase logger data now?");
    EXPECT_EQ(Events(rig.log.events.begin() + 5, rig.log.events.end()), c.eraseEvents);
    EXPECT_EQ(rig.view.messages.size(), 2u);  // the success and the question only
    for (const auto& m : rig.ownerless.messages) EXPECT_EQ(m.caption, "API-return");
    EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
  }
}

}  // namespace
}  // namespace quillon
