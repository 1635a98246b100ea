#include "tests/ui/UiTestSupport.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/toplevel.h>

#include "ui/WindowCapture.h"

namespace quillon::uitest {

namespace fs = std::filesystem;

void Pump(int milliseconds) {
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < until) {
    wxTheApp->Yield(true);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

int WhileModal(wxDialog& dialog, const std::function<void()>& whileShown) {
  dialog.CallAfter([&dialog, whileShown] {
    for (int i = 0; i < 200 && !dialog.IsShownOnScreen(); ++i) Pump(10);
    Pump(150);
    whileShown();
    if (dialog.IsModal()) dialog.EndModal(wxID_CANCEL);
  });
  return dialog.ShowModal();
}

wxDialog* FindDialog(const wxString& title) {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(window);
    if (dialog != nullptr && dialog->GetTitle() == title && dialog->IsShown()) return dialog;
  }
  return nullptr;
}

RecordedMessageBoxes::RecordedMessageBoxes() {
  ui::SetMessageBoxHook([this](const ui::MessageBoxRequest& request) -> std::optional<MessageAnswer> {
    shown.push_back(request);
    if (answers.empty()) return MessageAnswer::kOk;
    MessageAnswer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  });
}

RecordedMessageBoxes::~RecordedMessageBoxes() { ui::SetMessageBoxHook(nullptr); }

std::string ScreenshotPath(const std::string& name) {
  fs::path folder = fs::path(QUILLON_SCREENSHOT_DIR);
  fs::create_directories(folder);
  return (folder / (name + ".png")).string();
}

void SaveScreenshot(wxWindow* window, const std::string& name) { ui::SaveWindowPng(window, ScreenshotPath(name)); }

ui::Rgb PixelAt(const wxImage& image, int x, int y) {
  return ui::Rgb{image.GetRed(x, y), image.GetGreen(x, y), image.GetBlue(x, y)};
}

wxRect PixelsOfColour(const wxImage& image, const wxRect& area, ui::Rgb colour, int tolerance) {
  int left = area.GetRight() + 1;
  int top = area.GetBottom() + 1;
  int right = area.GetLeft() - 1;
  int bottom = area.GetTop() - 1;
  for (int y = area.GetTop(); y <= area.GetBottom(); ++y) {
    for (int x = area.GetLeft(); x <= area.GetRight(); ++x) {
      ui::Rgb p = PixelAt(image, x, y);
      if (std::abs(p.r - colour.r) <= tolerance && std::abs(p.g - colour.g) <= tolerance &&
          std::abs(p.b - colour.b) <= tolerance) {
        left = std::min(left, x);
        top = std::min(top, y);
        right = std::max(right, x);
        bottom = std::max(bottom, y);
      }
    }
  }
  if (right < left) return wxRect();
  return wxRect(wxPoint(left, top), wxPoint(right, bottom));
}

RunFolder::RunFolder(bool withLibrary, bool withRawLog) {
  previous_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "quillon-ui-XXXXXX").string();
  path_ = mkdtemp(pattern.data());
  if (withLibrary) fs::copy_file(QUILLON_DEVICE_LIBRARY, fs::path(path_) / "ORVEX_DLL.dll");
  if (withRawLog) {
    fs::create_directory(fs::path(path_) / "Rawdata");
    fs::copy_file(fs::path(QUILLON_TEST_DATA_DIR) / "sample_rawlog.txt",
                  fs::path(path_) / "Rawdata" / kSampleRawLogName);
  }
  fs::current_path(path_);
}

RunFolder::~RunFolder() {
  fs::current_path(previous_);
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

}  // namespace quillon::uitest
