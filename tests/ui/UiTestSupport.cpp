#include "tests/ui/UiTestSupport.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>
#include <thread>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/combobox.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>
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
    // wxMSW's dialog stays modal until its loop returns, after EndModal: the
    // return code tells whether whileShown ended it.
    constexpr int kStillOpen = -1;
    dialog.SetReturnCode(kStillOpen);
    whileShown();
    if (dialog.IsModal() && dialog.GetReturnCode() == kStillOpen) dialog.EndModal(wxID_CANCEL);
  });
  return dialog.ShowModal();
}

bool SimulatedInputArrives() {
#ifdef _WIN32
  // Wine's ntdll tells itself apart by this export.
  return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") == nullptr;
#else
  return true;
#endif
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

namespace {

// A new empty folder under the temporary folder, kept until the RunFolder
// goes (unlike TempFolder, which removes its folder itself).
std::string MakeFreshFolder() {
  std::random_device random;
  std::error_code error;
  fs::path folder;
  do {
    folder = fs::temp_directory_path() / ("quillon-ui-" + std::to_string(random()));
  } while (!fs::create_directory(folder, error) && !error);
  return folder.string();
}

}  // namespace

RunFolder::RunFolder(bool withLibrary, bool withRawLog) {
  previous_ = fs::current_path().string();
  path_ = MakeFreshFolder();
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

void Press(wxWindow* dialog, int id) {
  wxWindow* button = dialog->FindWindow(id);
  ASSERT_NE(button, nullptr) << "no control " << id;
  wxKeyEvent key(wxEVT_KEY_DOWN);
  key.m_keyCode = WXK_RETURN;
  key.SetEventObject(button);
  button->HandleWindowEvent(key);
}

void ClickRadio(wxWindow* dialog, int id) {
  auto* radio = dynamic_cast<wxRadioButton*>(dialog->FindWindow(id));
  ASSERT_NE(radio, nullptr) << "no radio button " << id;
  radio->SetValue(true);
  wxCommandEvent click(wxEVT_RADIOBUTTON, id);
  click.SetEventObject(radio);
  click.SetInt(1);
  radio->HandleWindowEvent(click);
}

void Type(wxWindow* dialog, int id, const std::string& text) {
  auto* edit = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(id));
  ASSERT_NE(edit, nullptr) << "no edit " << id;
  edit->SetValue(wxString::FromUTF8(text));
}

void Pick(wxWindow* dialog, int id, int index) {
  auto* combo = dynamic_cast<wxComboBox*>(dialog->FindWindow(id));
  ASSERT_NE(combo, nullptr) << "no combo box " << id;
  combo->SetSelection(index);
  wxCommandEvent pick(wxEVT_COMBOBOX, id);
  pick.SetEventObject(combo);
  pick.SetInt(index);
  combo->HandleWindowEvent(pick);
}

std::string Describe(const std::vector<ui::MessageBoxRequest>& boxes) {
  std::string text;
  for (const auto& box : boxes) {
    text += box.caption + "|" + box.text + "|" + (box.owned ? "owned" : "ownerless") + "\n";
  }
  return text.empty() ? "(no message box)\n" : text;
}

}  // namespace quillon::uitest
