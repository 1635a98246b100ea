#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <wx/app.h>
#include <wx/log.h>
#include <wx/timer.h>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "platform/Utf8Path.h"
#include "ui/ColouredMessageBox.h"
#include "ui/GtkCompactStyle.h"
#include "ui/MainWindow.h"
#include "ui/WindowCapture.h"

namespace quillon {

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// QUILLON_MESSAGE_LOG=<file>: every message box is written to <file> as one
// line "caption<TAB>text<TAB>owned|ownerless" and answered OK without being
// shown, so that scripts and tests can run the program unattended.
void InstallMessageLog() {
  std::string path = Environment("QUILLON_MESSAGE_LOG");
  if (path.empty()) return;
  ui::SetMessageBoxHook([path](const ui::MessageBoxRequest& request) -> std::optional<MessageAnswer> {
    std::ofstream log(Utf8Path(path), std::ios::app | std::ios::binary);
    log << request.caption << '\t' << request.text << '\t' << (request.owned ? "owned" : "ownerless") << '\n';
    return MessageAnswer::kOk;
  });
}

// QUILLON_SCREENSHOT=<file.png>: once the Main Window shows, it is saved as a
// PNG; with QUILLON_EXIT_AFTER_SCREENSHOT=1 the window then closes.
class ScreenshotOnShow {
 public:
  bool Failed() const { return failed_; }

  explicit ScreenshotOnShow(ui::MainWindow& window) : window_(window) {
    path_ = Environment("QUILLON_SCREENSHOT");
    if (path_.empty()) return;
    closeAfter_ = Environment("QUILLON_EXIT_AFTER_SCREENSHOT") == "1";
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Take(); });
    window_.CallAfter([this] { timer_.StartOnce(800); });
  }

 private:
  void Take() {
    if (ui::SaveWindowPng(&window_, path_)) {
      std::printf("Screenshot of the Main Window: %s\n", path_.c_str());
    } else {
      // No half-written picture, and the run that asked for it fails.
      std::error_code ignored;
      std::filesystem::remove(Utf8Path(path_), ignored);
      std::fprintf(stderr, "Could not save the screenshot %s\n", path_.c_str());
      failed_ = true;
    }
    std::fflush(stdout);
    if (closeAfter_) window_.EndDialogCancel();
  }

  ui::MainWindow& window_;
  std::string path_;
  bool closeAfter_ = false;
  bool failed_ = false;
  wxTimer timer_;
};

}  // namespace

// Sets the shared look, runs the Main Window modally and ends the program,
// with exit code 0, when it closes, however it was closed (1 when a requested
// screenshot could not be saved).
class QuillonApp : public wxApp {
 public:
  bool OnInit() override {
    // The toolkit's own complaints go to standard error; only the program's
    // messages appear in message boxes.
    delete wxLog::SetActiveTarget(new wxLogStderr);
    ui::UseCompactControlStyle();
    InstallMessageLog();
    return true;
  }

  int OnRun() override {
    ui::OwnerlessMessageBoxes ownerless;
    CommandRouter router(ownerless, MakeSystemShell(), MakeUserKeyStore());
    ui::MainWindow window(router.State(), router);
    AttachWindows(router, window);
    SetTopWindow(&window);
    ScreenshotOnShow screenshot(window);
    window.ShowModal();
    SetTopWindow(nullptr);
    return screenshot.Failed() ? 1 : 0;
  }
};

}  // namespace quillon

wxIMPLEMENT_APP(quillon::QuillonApp);
