#pragma once

#include <functional>
#include <string>

#include <wx/dnd.h>

namespace quillon::ui {

// Hands the first file dropped on a window to `open`.
class RawLogDropTarget : public wxFileDropTarget {
 public:
  explicit RawLogDropTarget(std::function<void(const std::string&)> open) : open_(std::move(open)) {}

  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    if (files.empty()) return false;
    open_(files[0].utf8_string());
    return true;
  }

 private:
  std::function<void(const std::string&)> open_;
};

}  // namespace quillon::ui
