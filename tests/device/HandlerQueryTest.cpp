#include <climits>

#include <gtest/gtest.h>

#include "core/ControlIds.h"
#include "device/ConnectionHandlers.h"
#include "tests/support/FakeDevice.h"

namespace quillon {
namespace {

using testing::DeviceRig;
using Events = std::vector<std::string>;

// "Please Open Com Port " followed by the full-width exclamation mark U+FF01.
const std::string kPleaseOpen = "Please Open Com Port \xEF\xBC\x81";

struct OpenedRig : DeviceRig {
  OpenedRig() { state.device.portOpened = true; }
};

TEST(OnReadGpsUtcTime, RefusesBeforeAnOpening) {
  DeviceRig rig;
  OnReadGpsUtcTime(rig.state, rig.device, rig.view);
  EXPECT_EQ(rig.log.events, (Events{"view: " + kPleaseOpen}));
  EXPECT_EQ(rig.view.messages[0].caption, "API-return");
}

TEST(OnReadGpsUtcTime, EndsWhenDumpModeFails) {
  OpenedRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 4;
  OnReadGpsUtcTime(rig.state, rig.device, rig.view);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "view: Can't into dump mode.Please try again !!"}));
}

TEST(OnReadGpsUtcTime, MissingEntryPointLeavesDumpModeAlone) {
  OpenedRig rig;
  rig.device.missing.insert(EntryPoint::kReadGpsUtcTimeDate);
  OnReadGpsUtcTime(rig.state, rig.device, rig.view);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "view: ORVEX_DLL.dll not find"}));
}

TEST(OnReadGpsUtcTime, LeavesDumpModeThenReportsEachCode) {
  struct Case {
    int code;
    const char* message;  // null: no message
    const char* label;    // the expected label 1028
  };
  const Case cases[] = {
      {12, "Device not report ", "old"},
      {26, "Can't into dump mode.Please try again !!", "old"},
      {38, "Read GPS UTC time invalid", "old"},
      {39, nullptr, "UTC Time :    09:05:03    03/12/2008"},
      {0, nullptr, "old"},
      {24, nullptr, "old"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    OpenedRig rig;
    rig.device.codes[EntryPoint::kReadGpsUtcTimeDate] = c.code;
    rig.device.gpsTime = {9, 5, 3, 8, 12, 3};
    rig.view.texts[ids::kUtcTimeLabel] = "old";
    OnReadGpsUtcTime(rig.state, rig.device, rig.view);
    Events expected{"IntoDumpMode(2)", "ReadGpsUtcTimeDate", "ExitDumpMode"};
    if (c.message) expected.push_back(std::string("view: ") + c.message);
    EXPECT_EQ(rig.log.events, expected);
    EXPECT_EQ(rig.view.texts[ids::kUtcTimeLabel], c.label);
    for (const auto& m : rig.view.messages) EXPECT_EQ(m.caption, "API-return");
    EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
  }
}

TEST(OnReadGpsUtcTime, FormatsMonthBeforeDayAndTheFullYear) {
  struct Case {
    testing::FakeDevice::GpsTime time;
    std::string label;
  };
  const Case cases[] = {
      {{0, 0, 0, 0, 1, 1}, "UTC Time :    00:00:00    01/01/2000"},
      {{23, 59, 58, 24, 31, 12}, "UTC Time :    23:59:58    12/31/2024"},
      {{12, 30, 0, 99, 2, 11}, "UTC Time :    12:30:00    11/02/2099"},
      {{255, 255, 255, 255, 255, 255}, "UTC Time :    255:255:255    255/255/2255"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    OpenedRig rig;
    rig.device.gpsTime = c.time;
    OnReadGpsUtcTime(rig.state, rig.device, rig.view);
    EXPECT_EQ(rig.view.texts[ids::kUtcTimeLabel], c.label);
  }
}

TEST(OnReadMemoryUsedStatus, TestsTheEntryPointBeforeDumpMode) {
  DeviceRig rig;
  rig.device.missing.insert(EntryPoint::kReadMemoryUsedSize);
  OnReadMemoryUsedStatus(rig.state, rig.device, rig.view);
  EXPECT_EQ(rig.log.events, (Events{"view: ORVEX_DLL.dll not find"}));
}

TEST(OnReadMemoryUsedStatus, RunsWithoutAnOpeningAndEndsWhenDumpModeFails) {
  DeviceRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 3;
  OnReadMemoryUsedStatus(rig.state, rig.device, rig.view);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "view: Open COM Port Error"}));
}

TEST(OnReadMemoryUsedStatus, LeavesDumpModeThenReportsEachCode) {
  struct Case {
    int code;
    const char* message;
    bool labels;
  };
  const Case cases[] = {
      {26, " return_not_dump_mode", false},
      {12, " return_device_not_report", false},
      {48, " return_read_memory_used_size_error", false},
      {45, nullptr, true},
      {0, nullptr, false},
      {39, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    DeviceRig rig;
    rig.device.codes[EntryPoint::kReadMemoryUsedSize] = c.code;
    rig.device.bytesUsed = 1000;
    OnReadMemoryUsedStatus(rig.state, rig.device, rig.view);
    Events expected{"IntoDumpMode(2)", "ReadMemoryUsedSize", "ExitDumpMode"};
    if (c.message) expected.push_back(std::string("view: ") + c.message);
    EXPECT_EQ(rig.log.events, expected);
    EXPECT_EQ(rig.view.GetItemText(ids::kMemoryUsedLabel), c.labels ? "Memory Used Size = 1000 Bytes" : "");
    EXPECT_EQ(rig.view.GetItemText(ids::kFreeMemoryLabel), c.labels ? "Free Memory Size = 3996696 Bytes" : "");
    for (const auto& m : rig.view.messages) EXPECT_EQ(m.caption, "API-return");
    EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
  }
}

TEST(OnReadMemoryUsedStatus, ShowsUsedAndFreeSizesSigned) {
  struct Case {
    int used;
    std::string usedLabel;
    std::string freeLabel;
  };
  const Case cases[] = {
      {0, "Memory Used Size = 0 Bytes", "Free Memory Size = 3997696 Bytes"},
      {3997696, "Memory Used Size = 3997696 Bytes", "Free Memory Size = 0 Bytes"},
      {4000000, "Memory Used Size = 4000000 Bytes", "Free Memory Size = -2304 Bytes"},
      {-5, "Memory Used Size = -5 Bytes", "Free Memory Size = 3997701 Bytes"},
      {INT_MIN, "Memory Used Size = -2147483648 Bytes", "Free Memory Size = 2151481344 Bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.usedLabel);
    DeviceRig rig;
    rig.device.bytesUsed = c.used;
    OnReadMemoryUsedStatus(rig.state, rig.device, rig.view);
    EXPECT_EQ(rig.view.GetItemText(ids::kMemoryUsedLabel), c.usedLabel);
    EXPECT_EQ(rig.view.GetItemText(ids::kFreeMemoryLabel), c.freeLabel);
  }
}

TEST(OnLoggerSetting, RunsTheDialogOnlyAfterAnOpening) {
  for (bool opened : {false, true}) {
    SCOPED_TRACE(opened ? "opened" : "not opened");
    DeviceRig rig;
    rig.state.device.portOpened = opened;
    int runs = 0;
    OnLoggerSetting(rig.state, rig.view, [&] { ++runs; });
    EXPECT_EQ(runs, opened ? 1 : 0);
    EXPECT_EQ(rig.log.events, opened ? Events{} : Events{"view: " + kPleaseOpen});
    EXPECT_TRUE(rig.device.calls.empty());
  }
}

}  // namespace
}  // namespace quillon
