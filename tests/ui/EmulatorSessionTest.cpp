// The Main Window against the stand-in library and the logger emulator on a
// pseudo-terminal: the buttons reach the device handlers through the command
// router, and the device calls run behind the progress window.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/CommandRouter.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/MainWindow.h"

namespace quillon::uitest {
namespace {

namespace fs = std::filesystem;

// The emulator on ports/COM3 of the current folder, for the test's lifetime.
class Emulator {
 public:
  Emulator() {
    pid_ = fork();
    if (pid_ == 0) {
      execl(QUILLON_EMULATOR, QUILLON_EMULATOR, "--port-dir", "ports", "--com", "3", "--fixes", "300",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 100 && !fs::exists("ports/COM3"); ++i) Pump(20);
  }
  ~Emulator() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  bool Ready() const { return fs::exists("ports/COM3"); }

 private:
  pid_t pid_;
};

void PressEnterOn(wxWindow* button) {
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = WXK_RETURN;
  key.SetEventObject(button);
  button->HandleWindowEvent(key);
}

TEST(EmulatorSessionTest, AutoOpenShowsTheLoggerAndEnablesTheDeviceButtons) {
  RunFolder folder(true, true);
  fs::create_directory("ports");
  Emulator emulator;
  ASSERT_TRUE(emulator.Ready());
  RecordedMessageBoxes boxes;
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router(ownerless, MakeSystemShell(), MakeUserKeyStore());
  ui::MainWindow window(router.State(), router);
  WhileModal(window, [&] {
    PressEnterOn(window.FindWindow(ids::kAutoOpenComPort));
    EXPECT_TRUE(router.State().device.portOpened);
    EXPECT_NE(window.GetItemText(ids::kSerialNumberLabel), "Serial Number : ");
    for (int id : {ids::kReadGpsUtcTime, ids::kDumpLoggerData, ids::kLoggerSetting, ids::kReadMemoryUsedStatus}) {
      SCOPED_TRACE(id);
      EXPECT_TRUE(window.IsItemEnabled(id));
    }
    PressEnterOn(window.FindWindow(ids::kReadMemoryUsedStatus));
    EXPECT_NE(window.GetItemText(ids::kMemoryUsedLabel), "Memory Used Size = ");
    SaveScreenshot(&window, "main_window_opened");
  });
  for (const auto& box : boxes.shown) ADD_FAILURE() << box.caption << ": " << box.text;
}

}  // namespace
}  // namespace quillon::uitest
