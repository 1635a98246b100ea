#pragma once

#include <wx/dialog.h>

namespace quillon::ui {

// "關於 Quillon": the icon, "Quillon Version 1.0" and a standard default
// button "確定" that closes it.
class AboutBox : public wxDialog {
 public:
  explicit AboutBox(wxWindow* parent);
};

}  // namespace quillon::ui
