#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/image.h>

#include "core/MessageBoxes.h"
#include "platform/Shell.h"
#include "ui/ColouredMessageBox.h"
#include "ui/HoverButtonLogic.h"

namespace quillon::uitest {

// Lets pending events run for about `milliseconds`.
void Pump(int milliseconds);

// Runs the dialog modally; `whileShown` runs once it is on the screen, and
// the dialog is ended afterwards (with wxID_CANCEL) unless whileShown ended it.
// Returns ShowModal's result.
int WhileModal(wxDialog& dialog, const std::function<void()>& whileShown);

// Whether pointer and key input made by wxUIActionSimulator reaches the
// windows: not under Wine on a bare X server, where the Windows build's
// tests run.
bool SimulatedInputArrives();

// The first top-level window other than `except` whose title is `title`.
wxDialog* FindDialog(const wxString& title);

// Records every message box and answers each from `answers` (OK when empty),
// without showing it. Uninstalls itself when destroyed.
class RecordedMessageBoxes {
 public:
  RecordedMessageBoxes();
  ~RecordedMessageBoxes();
  std::vector<ui::MessageBoxRequest> shown;
  std::vector<MessageAnswer> answers;
};

// Screenshots go to build/screenshots/ (the build tree's).
std::string ScreenshotPath(const std::string& name);
void SaveScreenshot(wxWindow* window, const std::string& name);

ui::Rgb PixelAt(const wxImage& image, int x, int y);
// The bounding box of the pixels of a colour (within a tolerance), in `area`.
wxRect PixelsOfColour(const wxImage& image, const wxRect& area, ui::Rgb colour, int tolerance);

// The working folder of a run: ORVEX_DLL.dll and, when asked, the sample raw
// log in Rawdata. Made fresh in a temporary folder and entered; left and
// removed on destruction.
class RunFolder {
 public:
  explicit RunFolder(bool withLibrary, bool withRawLog);
  ~RunFolder();
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::string previous_;
};

// Presses a Hover Button with the Enter key, as a keyboard user would.
void Press(wxWindow* dialog, int id);
// Clicks a radio button: it becomes checked and its command reaches the dialog.
void ClickRadio(wxWindow* dialog, int id);
// Replaces an edit's text as typing would.
void Type(wxWindow* dialog, int id, const std::string& text);
// Picks an item of a combo box as the user would.
void Pick(wxWindow* dialog, int id, int index);

// Remembers what it was asked to open instead of starting a map program on
// the test display.
class RecordingShell : public Shell {
 public:
  explicit RecordingShell(std::vector<std::string>& opened) : opened_(opened) {}
  int OpenWithShell(const std::string& path) override {
    opened_.push_back(path);
    return kShellSuccess;
  }

 private:
  std::vector<std::string>& opened_;
};

// The message boxes recorded so far, one "caption|text|owned" line each, for
// failure output.
std::string Describe(const std::vector<ui::MessageBoxRequest>& boxes);

inline constexpr char kSampleRawLogName[] = "20080312064506_Rawdata_1234567.txt";

}  // namespace quillon::uitest
