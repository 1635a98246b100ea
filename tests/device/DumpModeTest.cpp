#include "device/DumpMode.h"

#include <gtest/gtest.h>

#include "tests/support/FakeDevice.h"

namespace quillon {
namespace {

using testing::DeviceRig;
using Events = std::vector<std::string>;

TEST(EnterDumpMode, ReportsEachResultCode) {
  struct Case {
    int code;
    bool entered;
    Events events;
  };
  const Case cases[] = {
      {24, true, {"IntoDumpMode(2)"}},
      {3, false, {"IntoDumpMode(2)", "view: Open COM Port Error"}},
      {4, false, {"IntoDumpMode(2)", "view: Can't into dump mode.Please try again !!"}},
      {0, false, {"IntoDumpMode(2)"}},
      {2, false, {"IntoDumpMode(2)"}},
      {12, false, {"IntoDumpMode(2)"}},
      {26, false, {"IntoDumpMode(2)"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("code " + std::to_string(c.code));
    DeviceRig rig;
    rig.device.codes[EntryPoint::kIntoDumpMode] = c.code;
    EXPECT_EQ(EnterDumpMode(rig.state, rig.device, rig.view, rig.view), c.entered);
    EXPECT_EQ(rig.log.events, c.events);
    for (const auto& m : rig.view.messages) EXPECT_EQ(m.caption, "API-return");
    EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
  }
}

TEST(EnterDumpMode, PassesTheSelectedIndexAsThePortAnd255WithoutSelection) {
  struct Case {
    int selection;
    int port;
  };
  for (const Case& c : {Case{2, 2}, Case{0, 0}, Case{17, 17}, Case{99, 99}, Case{-1, 255}}) {
    SCOPED_TRACE("selection " + std::to_string(c.selection));
    DeviceRig rig;
    rig.state.comPortList.SetCurSel(c.selection);
    EnterDumpMode(rig.state, rig.device, rig.view, rig.view);
    ASSERT_EQ(rig.device.calls.size(), 1u);
    EXPECT_EQ(rig.device.calls[0].port, c.port);
  }
}

TEST(EnterDumpMode, ShowsItsMessagesOnTheOwnerItIsGiven) {
  DeviceRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 3;
  EXPECT_FALSE(EnterDumpMode(rig.state, rig.device, rig.ownerless, rig.view));
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "ownerless: Open COM Port Error"}));
  EXPECT_TRUE(rig.view.messages.empty());
  EXPECT_EQ(rig.view.busyRuns.size(), 1u);
}

TEST(EnterDumpMode, MissingEntryPointIsReportedWithoutCalling) {
  DeviceRig rig;
  rig.device.missing.insert(EntryPoint::kIntoDumpMode);
  EXPECT_FALSE(EnterDumpMode(rig.state, rig.device, rig.view, rig.view));
  EXPECT_EQ(rig.log.events, (Events{"view: ORVEX_DLL.dll not find"}));
  EXPECT_EQ(rig.view.messages[0].caption, "API-return");
}

TEST(LeaveDumpMode, IgnoresTheResult) {
  for (int code : {0, 12, 26, -1}) {
    SCOPED_TRACE("code " + std::to_string(code));
    DeviceRig rig;
    rig.device.codes[EntryPoint::kExitDumpMode] = code;
    LeaveDumpMode(rig.device, rig.view, rig.view);
    EXPECT_EQ(rig.log.events, (Events{"ExitDumpMode"}));
    EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
  }
}

TEST(LeaveDumpMode, MissingEntryPointIsReported) {
  DeviceRig rig;
  rig.device.missing.insert(EntryPoint::kExitDumpMode);
  LeaveDumpMode(rig.device, rig.ownerless, rig.view);
  EXPECT_EQ(rig.log.events, (Events{"ownerless: ORVEX_DLL.dll not find"}));
}

}  // namespace
}  // namespace quillon
