// The Main Window against the stand-in library and the logger emulator on a
// pseudo-terminal: the buttons reach the device handlers through the command
// router, and the device calls run behind the progress window.
#include <string>

#include <gtest/gtest.h>

#include "app/CommandRouter.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/ui/EmulatorRig.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainWindow.h"

namespace quillon::uitest {
namespace {

TEST(EmulatorSessionTest, AutoOpenShowsTheLoggerAndEnablesTheDeviceButtons) {
  RunFolder folder(true, true);
  EmulatorProcess emulator(3, {"--fixes", "300"});
  ASSERT_TRUE(emulator.Ready());
  RecordedMessageBoxes boxes;
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router(ownerless, MakeSystemShell(), MakeUserKeyStore());
  ui::MainWindow window(router.State(), router);
  WhileModal(window, [&] {
    Press(&window, ids::kAutoOpenComPort);
    EXPECT_TRUE(router.State().device.portOpened);
    EXPECT_NE(window.GetItemText(ids::kSerialNumberLabel), "Serial Number : ");
    for (int id : {ids::kReadGpsUtcTime, ids::kDumpLoggerData, ids::kLoggerSetting, ids::kReadMemoryUsedStatus}) {
      SCOPED_TRACE(id);
      EXPECT_TRUE(window.IsItemEnabled(id));
    }
    Press(&window, ids::kReadMemoryUsedStatus);
    EXPECT_NE(window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = ");
    SaveScreenshot(&window, "main_window_opened");
  });
  for (const auto& box : boxes.shown) ADD_FAILURE() << box.caption << ": " << box.text;
}

}  // namespace
}  // namespace quillon::uitest
