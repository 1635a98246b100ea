#pragma once

#include <functional>
#include <string>

#include <wx/app.h>
#include <wx/dnd.h>

namespace quillon::ui {

// Hands the first file dropped on a window to `open`.
class RawLogDropTarget : public wxFileDropTarget {
 public:
  explicit RawLogDropTarget(std::function<void(const std::string&)> open) : open_(std::move(open)) {}

  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    if (files.empty()) return false;
    // Opening shows message boxes; they must not run inside the toolkit's
    // drop handling, which holds the pointer until it returns.
    std::string path = files[0].utf8_string();
    wxTheApp->CallAfter([open = open_, path] { open(path); });
    return true;
  }

 private:
  std::function<void(const std::string&)> open_;
};

}  // namespace quillon::ui
