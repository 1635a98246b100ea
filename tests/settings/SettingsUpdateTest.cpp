#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/ControlIds.h"
#include "settings/SettingsController.h"
#include "tests/support/FakeDevice.h"

namespace quillon {
namespace {

using testing::DeviceRig;
using Events = std::vector<std::string>;

const std::string kTimeMessage = " Time interval value error,value range : 1 ~ 3600 second";
const std::string kDistanceMessage = " Distance interval value error,value range : 25 ~ 3000 meter";
const std::string kSpeedMessage = " Log Speed Limit error,value range : 0 ~ 20 knot";
const std::string kIdleMessage = " Into idle timer error,value range : 2 ~ 15 minute";
const std::string kNoModeMessage = " Log interval error,please choose By Time or By Distance";

// A dialog logging by time with valid edits, as after a successful read.
struct UpdateRig : DeviceRig {
  UpdateRig() {
    state.device.scanPort = 6;
    state.loggerSettings.timeInterval = 5;
    state.loggerSettings.distanceInterval = -1;
    view.texts[ids::kTimeIntervalEdit] = "10";
    view.texts[ids::kDistanceIntervalEdit] = "150";
    view.texts[ids::kMinimumSpeedEdit] = "3";
    view.texts[ids::kIdleTimerEdit] = "5";
  }
  const testing::DeviceCall* Written() const {
    auto it = std::find_if(device.calls.begin(), device.calls.end(),
                           [](const testing::DeviceCall& c) { return c.entry == EntryPoint::kSettingDevice; });
    return it == device.calls.end() ? nullptr : &*it;
  }
  SettingsController controller{state, device, ownerless};
};

TEST(SettingsUpdate, WritesEverySettingInADumpModeFrame) {
  UpdateRig rig;
  rig.state.loggerSettings.vibration = 2;
  rig.state.loggerSettings.tagFunction = 1;
  rig.state.loggerSettings.tagMode = 3;
  rig.controller.OnUpdateSettingValue(rig.view);
  EXPECT_EQ(rig.log.events,
            (Events{"IntoDumpMode(2)", "SettingDevice(6)", "ExitDumpMode", "view:  setting device successful"}));
  const testing::DeviceCall* call = rig.Written();
  ASSERT_NE(call, nullptr);
  EXPECT_EQ(call->text, "voice file");
  const LoggerSettingValues& v = call->settings;
  EXPECT_EQ(v.timeInterval, 10);
  EXPECT_EQ(v.distanceInterval, -1);
  EXPECT_EQ(v.vibration, 2);
  EXPECT_EQ(v.tagFunction, 1);
  EXPECT_EQ(v.minimumSpeed, 3);
  EXPECT_EQ(v.idleTimer, 5);
  EXPECT_EQ(v.tagMode, 0);
  EXPECT_EQ(v.timeZone, 8);
  EXPECT_TRUE(std::all_of(std::begin(v.userPointBlock), std::end(v.userPointBlock),
                          [](std::uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(rig.state.loggerSettings.tagMode, 0);
  EXPECT_EQ(rig.view.messages.back().caption, "API-return");
  EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
}

TEST(SettingsUpdate, ReadsOnlyTheEditOfTheChosenMode) {
  struct Case {
    int radio;  // 0: none clicked after the read set (-1, -1)
    std::int32_t sentTime, sentDistance;
  };
  for (const Case& c : {Case{ids::kByTime, 10, -1}, Case{ids::kByDistance, -1, 150}, Case{0, 10, -1}}) {
    SCOPED_TRACE("radio " + std::to_string(c.radio));
    UpdateRig rig;
    if (c.radio) {
      rig.controller.OnRadio(c.radio);
    } else {
      rig.state.loggerSettings.timeInterval = -1;
      rig.state.loggerSettings.distanceInterval = -1;
    }
    rig.controller.OnUpdateSettingValue(rig.view);
    const testing::DeviceCall* call = rig.Written();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->settings.timeInterval, c.sentTime);
    EXPECT_EQ(call->settings.distanceInterval, c.sentDistance);
  }
}

TEST(SettingsUpdate, RefusesToWriteWithoutAnIntervalMode) {
  UpdateRig rig;
  rig.state.loggerSettings.timeInterval = 0;
  rig.state.loggerSettings.distanceInterval = 0;
  rig.controller.OnUpdateSettingValue(rig.view);
  EXPECT_EQ(rig.log.events, (Events{"view: " + kNoModeMessage}));
  EXPECT_EQ(rig.view.messages[0].caption, "API-return");
}

TEST(SettingsUpdate, ALoggerReportedAsLoggingByDistanceUpdatesWithoutClickingAgain) {
  UpdateRig rig;
  rig.state.loggerSettings.distanceInterval = -1;  // left by an earlier opening
  rig.device.settingsRead.timeInterval = -1;
  rig.device.settingsRead.distanceInterval = 300;
  ASSERT_TRUE(rig.controller.OnInitDialog(rig.view));
  rig.view.texts[ids::kTimeIntervalEdit] = "";
  rig.view.texts[ids::kDistanceIntervalEdit] = "250";
  rig.controller.OnUpdateSettingValue(rig.view);
  const testing::DeviceCall* call = rig.Written();
  ASSERT_NE(call, nullptr);
  EXPECT_EQ(call->settings.timeInterval, -1);
  EXPECT_EQ(call->settings.distanceInterval, 250);
}

TEST(SettingsUpdate, IntervalsOutsideTheirRangeStopBeforeAnyDeviceTraffic) {
  struct Case {
    int radio;
    const char* text;
    bool accepted;
    std::int32_t stored;
  };
  const Case cases[] = {
      {ids::kByTime, "", false, 0},         {ids::kByTime, "0", false, 0},
      {ids::kByTime, "1", true, 1},         {ids::kByTime, "3600", true, 3600},
      {ids::kByTime, "3601", false, 3601},  {ids::kByTime, "-5", false, -5},
      {ids::kByTime, "abc", false, 0},      {ids::kByTime, "99999999999", false, 2147483647},
      {ids::kByDistance, "24", false, 24},  {ids::kByDistance, "25", true, 25},
      {ids::kByDistance, "3000", true, 3000}, {ids::kByDistance, "3001", false, 3001},
      {ids::kByDistance, "", false, 0},     {ids::kByDistance, "-100", false, -100},
  };
  for (const Case& c : cases) {
    const bool byTime = c.radio == ids::kByTime;
    SCOPED_TRACE(std::string(byTime ? "time \"" : "distance \"") + c.text + "\"");
    UpdateRig rig;
    rig.controller.OnRadio(c.radio);
    rig.view.texts[byTime ? ids::kTimeIntervalEdit : ids::kDistanceIntervalEdit] = c.text;
    rig.controller.OnUpdateSettingValue(rig.view);
    const LoggerSettingsRecord& r = rig.state.loggerSettings;
    EXPECT_EQ(byTime ? r.timeInterval : r.distanceInterval, c.stored);
    if (c.accepted) {
      EXPECT_NE(rig.Written(), nullptr);
    } else {
      EXPECT_EQ(rig.log.events, (Events{"view: " + (byTime ? kTimeMessage : kDistanceMessage)}));
    }
  }
}

TEST(SettingsUpdate, SpeedAndIdleTimerWarnInsideAByteAndStopOutsideIt) {
  struct Case {
    const char* speed;
    const char* idle;
    std::vector<std::string> warnings;
    bool sent;
    std::uint8_t sentSpeed, sentIdle;
  };
  const Case cases[] = {
      {"0", "2", {}, true, 0, 2},
      {"20", "15", {}, true, 20, 15},
      {"21", "5", {kSpeedMessage}, true, 21, 5},
      {"255", "5", {kSpeedMessage}, true, 255, 5},
      {"", "5", {}, true, 0, 5},
      {"3", "", {kIdleMessage}, true, 3, 0},
      {"3", "1", {kIdleMessage}, true, 3, 1},
      {"3", "16", {kIdleMessage}, true, 3, 16},
      {"3", "255", {kIdleMessage}, true, 3, 255},
      {"30", "0", {kSpeedMessage, kIdleMessage}, true, 30, 0},
      {"276", "5", {kSpeedMessage}, false, 0, 0},
      {"-5", "5", {kSpeedMessage}, false, 0, 0},
      {"3", "256", {kIdleMessage}, false, 0, 0},
      {"3", "-1", {kIdleMessage}, false, 0, 0},
      {"21", "300", {kSpeedMessage, kIdleMessage}, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("speed \"") + c.speed + "\", idle \"" + c.idle + "\"");
    UpdateRig rig;
    rig.view.texts[ids::kMinimumSpeedEdit] = c.speed;
    rig.view.texts[ids::kIdleTimerEdit] = c.idle;
    rig.controller.OnUpdateSettingValue(rig.view);
    Events expected;
    for (const auto& w : c.warnings) expected.push_back("view: " + w);
    if (c.sent) {
      expected.insert(expected.end(),
                      {"IntoDumpMode(2)", "SettingDevice(6)", "ExitDumpMode", "view:  setting device successful"});
    }
    EXPECT_EQ(rig.log.events, expected);
    if (const testing::DeviceCall* call = rig.Written()) {
      EXPECT_EQ(call->settings.minimumSpeed, c.sentSpeed);
      EXPECT_EQ(call->settings.idleTimer, c.sentIdle);
    }
  }
}

TEST(SettingsUpdate, ReportsEachResultOfTheWrite) {
  struct Case {
    int code;
    const char* message;
  };
  const Case cases[] = {
      {5, " pc not enough memory"},
      {12, " device not report"},
      {14, " setting device successful"},
      {15, " setting value error"},
      {16, " uncompleted wave files"},
      {17, " Voice file size over 128K bytes"},
      {18, " setting fail ... "},
      {19, " timeInterval over 3600 second error"},
      {20, " displacementinterval over 3000 meter error"},
      {23, " error wave file path"},
      {26, " not dump mode"},
      {30, " log min speed over 20 knot error"},
      {43, " user point data errer"},
      {44, " Into Idle Timer over rang error"},
      {46, " tag mode error"},
      {47, " time zone error"},
      {0, nullptr},
      {13, nullptr},
      {22, nullptr},
      {-1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    UpdateRig rig;
    rig.device.codes[EntryPoint::kSettingDevice] = c.code;
    rig.controller.OnUpdateSettingValue(rig.view);
    Events expected{"IntoDumpMode(2)", "SettingDevice(6)", "ExitDumpMode"};
    if (c.message) expected.push_back(std::string("view: ") + c.message);
    EXPECT_EQ(rig.log.events, expected);
    for (const auto& m : rig.view.messages) EXPECT_EQ(m.caption, "API-return");
  }
}

TEST(SettingsUpdate, SpeedWarningThenTheLoggersOwnRefusal) {
  UpdateRig rig;
  rig.view.texts[ids::kMinimumSpeedEdit] = "21";
  rig.device.codes[EntryPoint::kSettingDevice] = 30;
  rig.controller.OnUpdateSettingValue(rig.view);
  EXPECT_EQ(rig.view.MessageTexts(), (std::vector<std::string>{kSpeedMessage, " log min speed over 20 knot error"}));
}

TEST(SettingsUpdate, DumpModeFailureSendsNothing) {
  UpdateRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 3;
  rig.controller.OnUpdateSettingValue(rig.view);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "ownerless: Open COM Port Error"}));
}

TEST(SettingsUpdate, MissingWriteEntryPointStopsFirst) {
  UpdateRig rig;
  rig.device.missing.insert(EntryPoint::kSettingDevice);
  rig.view.texts[ids::kTimeIntervalEdit] = "0";
  rig.controller.OnUpdateSettingValue(rig.view);
  EXPECT_EQ(rig.log.events, (Events{"view: ORVEX_DLL.dll not find"}));
}

TEST(SettingsUpdate, RestoresTheWorkingDirectoryTheLibraryMoved) {
  // Depth 5 stays within the working-directory length Windows allows.
  for (std::size_t depth : {std::size_t{1}, std::size_t{5}}) {
    SCOPED_TRACE("depth " + std::to_string(depth));
    testing::TempWorkingDirectory temp;
    // Deep enough for a working directory far longer than 119 characters.
    std::filesystem::path start = temp.Path();
    for (std::size_t i = 0; i < depth; ++i) start /= std::string(30, static_cast<char>('a' + i));
    std::filesystem::create_directories(start / "voice file");
    std::filesystem::current_path(start);
    UpdateRig rig;
    rig.device.settingLeavesDirectory = start / "voice file";
    rig.controller.OnUpdateSettingValue(rig.view);
    ASSERT_NE(rig.Written(), nullptr);
    EXPECT_EQ(std::filesystem::current_path(), start);
  }
}

}  // namespace
}  // namespace quillon
