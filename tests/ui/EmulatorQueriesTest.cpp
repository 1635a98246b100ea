// Opening the logger and the device queries of the Main Window, with the real
// window, the stand-in library and the logger emulator on a pseudo-terminal.
#include <cstdio>
#include <ctime>
#include <string>

#include <gtest/gtest.h>

#include "core/ControlIds.h"
#include "tests/ui/EmulatorRig.h"

namespace quillon::uitest {
namespace {

constexpr int kDeviceButtons[] = {ids::kReadGpsUtcTime, ids::kDumpLoggerData, ids::kLoggerSetting,
                                  ids::kReadMemoryUsedStatus};

void ExpectDeviceButtonsEnabled(ui::MainWindow& window, bool enabled) {
  for (int id : kDeviceButtons) {
    SCOPED_TRACE(id);
    EXPECT_EQ(window.IsItemEnabled(id), enabled);
  }
}

// The time label 1028 as seconds since 1970 (UTC), or -1 when it does not
// have the label's format.
long long UtcTimeShown(const std::string& label) {
  int hour = 0, minute = 0, second = 0, month = 0, day = 0, year = 0;
  char rest = 0;
  if (std::sscanf(label.c_str(), "UTC Time :    %2d:%2d:%2d    %2d/%2d/%4d%c", &hour, &minute, &second, &month, &day,
                  &year, &rest) != 6) {
    return -1;
  }
  char rebuilt[64];
  std::snprintf(rebuilt, sizeof rebuilt, "UTC Time :    %02d:%02d:%02d    %02d/%02d/%04d", hour, minute, second, month,
                day, year);
  if (label != rebuilt) return -1;
  std::tm utc{};
  utc.tm_year = year - 1900;
  utc.tm_mon = month - 1;
  utc.tm_mday = day;
  utc.tm_hour = hour;
  utc.tm_min = minute;
  utc.tm_sec = second;
  return static_cast<long long>(timegm(&utc));
}

TEST(EmulatorQueriesTest, AutoScanFindsTheLoggerAndReadsClockAndMemory) {
  // A serial number above 2^31 must show without a sign.
  LoggerSession session(7, {"--serial", "3000000123", "--fixes", "300"});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    ExpectDeviceButtonsEnabled(window, false);
    Press(&window, ids::kAutoOpenComPort);
    EXPECT_EQ(window.GetItemText(ids::kAutoScanLabel), "( Auto Scan to COM 7 )");
    EXPECT_EQ(session.router.State().comPortList.GetCurSel(), 7);
    EXPECT_EQ(window.GetItemText(ids::kComPortList), "COM07");
    EXPECT_EQ(window.GetItemText(ids::kSerialNumberLabel), "Serial Number : 3000000123");
    EXPECT_EQ(window.GetItemText(ids::kFirmwareVersionLabel), "Firmware Version : V1.3.7");
    ExpectDeviceButtonsEnabled(window, true);

    const long long before = std::time(nullptr);
    Press(&window, ids::kReadGpsUtcTime);
    const long long after = std::time(nullptr);
    const std::string utc = window.GetItemText(ids::kUtcTimeLabel);
    const long long shown = UtcTimeShown(utc);
    EXPECT_NE(shown, -1) << "label 1028: \"" << utc << "\"";
    EXPECT_GE(shown, before - 1) << utc;
    EXPECT_LE(shown, after + 1) << utc;

    Press(&window, ids::kReadMemoryUsedStatus);
    EXPECT_EQ(window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = 9600 Bytes");
    EXPECT_EQ(window.GetItemText(ids::kFreeMemoryLabel), "Free Memory Size = 3988096 Bytes");
    SaveScreenshot(&window, "e2e_main_window_opened");
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorQueriesTest, ManualOpeningUsesThePortChosenInTheList) {
  LoggerSession session(5, {"--serial", "4711", "--fixes", "10"});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    // COM02 is selected at start; nothing answers there.
    Press(&window, ids::kManualOpenComPort);
    ASSERT_EQ(session.boxes.shown.size(), 1u) << Describe(session.boxes.shown);
    EXPECT_EQ(session.boxes.shown[0].text, "Open COM Port Error");
    EXPECT_EQ(session.boxes.shown[0].caption, "API-return");
    EXPECT_TRUE(session.boxes.shown[0].owned);
    EXPECT_FALSE(session.router.State().device.portOpened);
    ExpectDeviceButtonsEnabled(window, false);
    session.boxes.shown.clear();

    Pick(&window, ids::kComPortList, 5);
    EXPECT_EQ(session.router.State().comPortList.GetCurSel(), 5);
    Press(&window, ids::kManualOpenComPort);
    EXPECT_TRUE(session.router.State().device.portOpened);
    EXPECT_EQ(window.GetItemText(ids::kSerialNumberLabel), "Serial Number : 4711");
    EXPECT_EQ(window.GetItemText(ids::kFirmwareVersionLabel), "Firmware Version : V1.3.7");
    EXPECT_EQ(window.GetItemText(ids::kAutoScanLabel), "( Auto Scan to COM )") << "only the scan writes it";
    ExpectDeviceButtonsEnabled(window, true);

    Press(&window, ids::kReadMemoryUsedStatus);
    EXPECT_EQ(window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = 320 Bytes");
    EXPECT_EQ(window.GetItemText(ids::kFreeMemoryLabel), "Free Memory Size = 3997376 Bytes");
  });
  EXPECT_TRUE(session.boxes.shown.empty()) << Describe(session.boxes.shown);
}

TEST(EmulatorQueriesTest, LoggerWithoutGpsTimeSaysSoAndKeepsTheLabel) {
  LoggerSession session(3, {"--gps-invalid", "--fixes", "10"});
  ASSERT_TRUE(session.emulator.Ready());
  ui::MainWindow& window = session.window;
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    ASSERT_TRUE(session.router.State().device.portOpened);
    Press(&window, ids::kReadGpsUtcTime);
    EXPECT_EQ(window.GetItemText(ids::kUtcTimeLabel), "UTC Time : ");
  });
  ASSERT_EQ(session.boxes.shown.size(), 1u) << Describe(session.boxes.shown);
  EXPECT_EQ(session.boxes.shown[0].text, "Read GPS UTC time invalid");
  EXPECT_EQ(session.boxes.shown[0].caption, "API-return");
}

}  // namespace
}  // namespace quillon::uitest
