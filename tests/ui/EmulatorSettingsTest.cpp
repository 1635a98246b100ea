// The Settings Dialog opened from the Main Window against the logger emulator:
// filled from the logger, refusing bad values without sending them, and
// writing good ones into the logger.
#include <string>

#include <gtest/gtest.h>

#include "api/DeviceCodes.h"
#include "core/ControlIds.h"
#include "tests/ui/EmulatorRig.h"

namespace quillon::uitest {
namespace {

constexpr char kSettingsTitle[] = "Logger Setting - Demo Software";

// What the dialog shows: the four edits and which radio button of each group
// is checked (0 when none).
struct ShownSettings {
  std::string timeInterval;
  std::string distanceInterval;
  std::string minimumSpeed;
  std::string idleTimer;
  int intervalRadio = 0;
  int vibrationRadio = 0;
  int tagRadio = 0;
};

int CheckedOf(const ui::ViewDialog& dialog, int first, int second) {
  if (dialog.IsChecked(first)) return dialog.IsChecked(second) ? -1 : first;
  return dialog.IsChecked(second) ? second : 0;
}

ShownSettings Shown(const ui::ViewDialog& dialog) {
  return {dialog.GetItemText(ids::kTimeIntervalEdit),
          dialog.GetItemText(ids::kDistanceIntervalEdit),
          dialog.GetItemText(ids::kMinimumSpeedEdit),
          dialog.GetItemText(ids::kIdleTimerEdit),
          CheckedOf(dialog, ids::kByTime, ids::kByDistance),
          CheckedOf(dialog, ids::kVibrationDisable, ids::kVibrationEnable),
          CheckedOf(dialog, ids::kTagDisable, ids::kTagEnable)};
}

void ExpectShown(const ShownSettings& actual, const ShownSettings& expected) {
  EXPECT_EQ(actual.timeInterval, expected.timeInterval);
  EXPECT_EQ(actual.distanceInterval, expected.distanceInterval);
  EXPECT_EQ(actual.minimumSpeed, expected.minimumSpeed);
  EXPECT_EQ(actual.idleTimer, expected.idleTimer);
  EXPECT_EQ(actual.intervalRadio, expected.intervalRadio);
  EXPECT_EQ(actual.vibrationRadio, expected.vibrationRadio);
  EXPECT_EQ(actual.tagRadio, expected.tagRadio);
}

// Opens the Settings Dialog with "Logger Setting" and runs visit in it.
void WithSettingsDialog(LoggerSession& session, const std::function<void(ui::ViewDialog&)>& visit) {
  DialogVisit visitor(kSettingsTitle, visit);
  Press(&session.window, ids::kLoggerSetting);
  EXPECT_TRUE(visitor.Visited()) << "the Settings Dialog did not show";
}

// The logger's settings as the library reads them now, outside the dialog.
LoggerSettingValues LoggerSettingsNow(LoggerSession& session) {
  DeviceLibrary& library = *session.router.Library();
  LoggerSettingValues values{};
  const auto port = static_cast<std::uint8_t>(session.router.State().device.scanPort);
  EXPECT_EQ(library.IntoDumpMode(port), code::kIntoDumpMode);
  EXPECT_EQ(library.ReadSettingValue(port, &values), code::kReadSettingSuccessful);
  library.ExitDumpMode();
  return values;
}

void ExpectOneMessage(LoggerSession& session, const std::string& text) {
  ASSERT_EQ(session.boxes.shown.size(), 1u) << Describe(session.boxes.shown);
  EXPECT_EQ(session.boxes.shown[0].text, text);
  EXPECT_EQ(session.boxes.shown[0].caption, "API-return");
  EXPECT_TRUE(session.boxes.shown[0].owned) << "the Settings Dialog owns it";
  session.boxes.shown.clear();
}

TEST(EmulatorSettingsTest, FilledFromTheLoggerRefusesBadValuesAndWritesGoodOnes) {
  LoggerSession session(4, {"--fixes", "10"});
  ASSERT_TRUE(session.emulator.Ready());
  WhileModal(session.window, [&] {
    Press(&session.window, ids::kAutoOpenComPort);
    ASSERT_TRUE(session.router.State().device.portOpened);

    WithSettingsDialog(session, [&](ui::ViewDialog& dialog) {
      // The emulator's factory settings: every 5 s, vibration off, tags on,
      // no minimum speed, idle after 10 minutes.
      ExpectShown(Shown(dialog), {"5", "", "0", "10", ids::kByTime, ids::kVibrationDisable, ids::kTagEnable});
      SaveScreenshot(&dialog, "e2e_settings_dialog_filled");

      Type(&dialog, ids::kTimeIntervalEdit, "0");
      Press(&dialog, ids::kUpdateSettingValue);
      ExpectOneMessage(session, " Time interval value error,value range : 1 ~ 3600 second");
      EXPECT_EQ(LoggerSettingsNow(session).timeInterval, 5) << "nothing was sent";

      Type(&dialog, ids::kTimeIntervalEdit, "30");
      Type(&dialog, ids::kMinimumSpeedEdit, "7");
      Type(&dialog, ids::kIdleTimerEdit, "3");
      ClickRadio(&dialog, ids::kVibrationEnable);
      ClickRadio(&dialog, ids::kTagDisable);
      Press(&dialog, ids::kUpdateSettingValue);
      ExpectOneMessage(session, " setting device successful");
    });

    LoggerSettingValues stored = LoggerSettingsNow(session);
    EXPECT_EQ(stored.timeInterval, 30);
    EXPECT_EQ(stored.distanceInterval, -1);
    EXPECT_EQ(stored.vibration, 2);
    EXPECT_EQ(stored.tagFunction, 0);
    EXPECT_EQ(stored.minimumSpeed, 7);
    EXPECT_EQ(stored.idleTimer, 3);
    EXPECT_EQ(stored.tagMode, 0);
    EXPECT_EQ(stored.timeZone, 8);

    WithSettingsDialog(session, [&](ui::ViewDialog& dialog) {
      ExpectShown(Shown(dialog), {"30", "", "7", "3", ids::kByTime, ids::kVibrationEnable, ids::kTagDisable});
    });
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorSettingsTest, LoggingByDistanceIsWrittenAndKeptOnTheNextUpdate) {
  LoggerSession session(4, {"--fixes", "10"});
  ASSERT_TRUE(session.emulator.Ready());
  WhileModal(session.window, [&] {
    Press(&session.window, ids::kAutoOpenComPort);
    ASSERT_TRUE(session.router.State().device.portOpened);

    WithSettingsDialog(session, [&](ui::ViewDialog& dialog) {
      ClickRadio(&dialog, ids::kByDistance);
      for (const char* refused : {"24", "3001", ""}) {
        SCOPED_TRACE(std::string("distance \"") + refused + "\"");
        Type(&dialog, ids::kDistanceIntervalEdit, refused);
        Press(&dialog, ids::kUpdateSettingValue);
        ExpectOneMessage(session, " Distance interval value error,value range : 25 ~ 3000 meter");
      }
      EXPECT_EQ(LoggerSettingsNow(session).distanceInterval, -1) << "nothing was sent";
      Type(&dialog, ids::kDistanceIntervalEdit, "250");
      Press(&dialog, ids::kUpdateSettingValue);
      ExpectOneMessage(session, " setting device successful");
    });
    EXPECT_EQ(LoggerSettingsNow(session).timeInterval, -1);
    EXPECT_EQ(LoggerSettingsNow(session).distanceInterval, 250);

    // The next opening shows the logger logging by distance and updates it
    // as such without "By Distance" being clicked again.
    WithSettingsDialog(session, [&](ui::ViewDialog& dialog) {
      ExpectShown(Shown(dialog), {"", "250", "0", "10", ids::kByDistance, ids::kVibrationDisable, ids::kTagEnable});
      Type(&dialog, ids::kDistanceIntervalEdit, "3000");
      Press(&dialog, ids::kUpdateSettingValue);
      ExpectOneMessage(session, " setting device successful");
    });
    EXPECT_EQ(LoggerSettingsNow(session).distanceInterval, 3000);
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorSettingsTest, EraseAllLogDataEmptiesTheLoggerAtOnce) {
  LoggerSession session(4, {"--fixes", "500"});
  ASSERT_TRUE(session.emulator.Ready());
  WhileModal(session.window, [&] {
    Press(&session.window, ids::kAutoOpenComPort);
    WithSettingsDialog(session, [&](ui::ViewDialog& dialog) {
      Press(&dialog, ids::kEraseAllLogData);
      ExpectOneMessage(session, "Erase database successful");
    });
    Press(&session.window, ids::kReadMemoryUsedStatus);
    EXPECT_EQ(session.window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = 0 Bytes");
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorSettingsTest, LoggerThatCannotStoreSettingsSaysSo) {
  LoggerSession session(4, {"--fixes", "10", "--setting-fail"});
  ASSERT_TRUE(session.emulator.Ready());
  WhileModal(session.window, [&] {
    Press(&session.window, ids::kAutoOpenComPort);
    WithSettingsDialog(session, [&](ui::ViewDialog& dialog) {
      Type(&dialog, ids::kTimeIntervalEdit, "60");
      Press(&dialog, ids::kUpdateSettingValue);
      ExpectOneMessage(session, " setting fail ... ");
    });
    EXPECT_EQ(LoggerSettingsNow(session).timeInterval, 5);
  });
}

}  // namespace
}  // namespace quillon::uitest
