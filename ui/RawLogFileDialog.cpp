#include "ui/RawLogFileDialog.h"

#include <wx/filedlg.h>

#include <filesystem>
#include <system_error>

#include "logdata/RawLogSelection.h"
#include "platform/Utf8Path.h"

namespace quillon::ui {

namespace {

std::function<std::optional<std::string>()>& Hook() {
  static std::function<std::optional<std::string>()> hook;
  return hook;
}

}  // namespace

void SetRawLogFileHook(std::function<std::optional<std::string>()> hook) { Hook() = std::move(hook); }

std::optional<std::string> ChooseRawLogFile(wxWindow* parent) {
  if (Hook()) return Hook()();
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::absolute(kRawLogFolder, error);
  wxFileDialog dialog(parent, "Open Raw Log", wxString::FromUTF8(Utf8Text(folder)), wxString(),
                      "Raw logs (*.txt)|*.txt;*.TXT|All files|*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return dialog.GetPath().utf8_string();
}

}  // namespace quillon::ui
