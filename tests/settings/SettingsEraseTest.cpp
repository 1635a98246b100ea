#include <gtest/gtest.h>

#include "settings/SettingsController.h"
#include "tests/support/FakeDevice.h"

namespace quillon {
namespace {

using testing::DeviceRig;
using Events = std::vector<std::string>;

struct EraseRig : DeviceRig {
  EraseRig() { state.device.scanPort = 9; }
  SettingsController controller{state, device, ownerless};
};

TEST(SettingsErase, ReportsEachResultOnTheShownDialogOrOwnerless) {
  struct Case {
    int code;
    const char* message;
  };
  const Case cases[] = {
      {13, "Erase database successful"}, {26, "Not dump mode"}, {12, "Device not report"}, {0, nullptr}, {14, nullptr}};
  for (bool shown : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(shown ? "shown" : "never shown") + ", code " + std::to_string(c.code));
      EraseRig rig;
      if (shown) {
        ASSERT_TRUE(rig.controller.OnInitDialog(rig.view));
      }
      rig.log.events.clear();
      rig.device.codes[EntryPoint::kEraseAllDb] = c.code;
      rig.controller.OnEraseAllLogData(rig.view);
      Events expected{"IntoDumpMode(2)", "EraseAllDb(9)", "ExitDumpMode"};
      if (c.message) expected.push_back((shown ? "view: " : "ownerless: ") + std::string(c.message));
      EXPECT_EQ(rig.log.events, expected);
      for (const auto& m : rig.view.messages) EXPECT_EQ(m.caption, "API-return");
      for (const auto& m : rig.ownerless.messages) EXPECT_EQ(m.caption, "API-return");
      EXPECT_TRUE(rig.log.callsOutsideBusy.empty());
    }
  }
}

TEST(SettingsErase, StopsWhenDumpModeFails) {
  EraseRig rig;
  rig.device.codes[EntryPoint::kIntoDumpMode] = 3;
  rig.controller.OnEraseAllLogData(rig.view);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "ownerless: Open COM Port Error"}));
}

TEST(SettingsErase, MissingEntryPointIsTestedInsideDumpMode) {
  EraseRig rig;
  rig.device.missing.insert(EntryPoint::kEraseAllDb);
  rig.controller.OnEraseAllLogData(rig.view);
  EXPECT_EQ(rig.log.events, (Events{"IntoDumpMode(2)", "ownerless: ORVEX_DLL.dll not find"}));
}

}  // namespace
}  // namespace quillon
