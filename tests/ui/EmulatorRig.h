#pragma once

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

#include <wx/timer.h>

#include "app/CommandRouter.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/ColouredMessageBox.h"
#include "ui/MainWindow.h"
#include "ui/ViewDialog.h"

namespace quillon::uitest {

// The logger emulator on ports/COM<com> of the current folder, for the
// object's lifetime; its output goes to emulator.log there.
class EmulatorProcess {
 public:
  EmulatorProcess(int com, const std::vector<std::string>& options);
  ~EmulatorProcess();
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;

  bool Ready() const;
  // Whether the emulator ends by itself (as after --unplug-after) within
  // about `milliseconds`.
  bool ExitsWithin(int milliseconds);

 private:
  std::string link_;
  pid_t pid_ = -1;
  bool reaped_ = false;
};

// A whole program against the emulator: a fresh run folder (the stand-in
// library and the sample raw log), the emulator, recorded message boxes, the
// command router and the Main Window, with "Logger Setting" showing the
// Settings Dialog over the Main Window as the program does.
struct LoggerSession {
  LoggerSession(int com, const std::vector<std::string>& emulatorOptions);

  RunFolder folder{true, true};
  EmulatorProcess emulator;
  RecordedMessageBoxes boxes;
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router;
  ui::MainWindow window;
};

// Runs `visit` on the dialog titled `title` from inside its modal loop once it
// is on the screen, then closes it (Cancel) unless visit did. Start it before
// the command that opens the dialog; Visited() tells afterwards whether it ran.
class DialogVisit : public wxTimer {
 public:
  DialogVisit(const wxString& title, std::function<void(ui::ViewDialog&)> visit);
  ~DialogVisit() override;
  bool Visited() const { return visited_; }
  void Notify() override;

 private:
  wxString title_;
  std::function<void(ui::ViewDialog&)> visit_;
  bool running_ = false;
  bool visited_ = false;
};

}  // namespace quillon::uitest
