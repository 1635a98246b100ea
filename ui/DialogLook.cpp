#include "ui/DialogLook.h"

#include <wx/fontenum.h>
#include <wx/settings.h>

namespace quillon::ui {

namespace {

const char* const kPreferredFaces[] = {"新細明體", "PMingLiU", "AR PL UMing TW", "AR PL UMing HK", "AR PL UMing CN"};

}  // namespace

wxColour DialogBackground() { return wxColour(188, 197, 230); }

wxColour DialogText() { return wxColour(13, 125, 188); }

wxString DialogFontFace() {
  static const wxString face = [] {
    for (const char* name : kPreferredFaces) {
      wxString candidate = wxString::FromUTF8(name);
      if (wxFontEnumerator::IsValidFacename(candidate)) return candidate;
    }
    // The face the system's own dialogs use (Windows without East Asian
    // fonts, or Wine), rather than whatever the bare default family gives.
    return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT).GetFaceName();
  }();
  return face;
}

double HorizontalStretch() {
  static const double stretch = [] {
    wxString face = DialogFontFace();
    // Only the UMing faces have Latin letters of one width.
    return face.StartsWith("AR PL UMing") ? 1.2 : 1.0;
  }();
  return stretch;
}

wxFont DialogFont() {
  wxFont font(wxFontInfo(9).Family(wxFONTFAMILY_DEFAULT));
  wxString face = DialogFontFace();
  if (!face.empty()) font.SetFaceName(face);
  return font;
}

void ApplyDialogLook(wxWindow* dialog) {
  dialog->SetFont(DialogFont());
  dialog->SetBackgroundColour(DialogBackground());
  dialog->SetForegroundColour(DialogText());
}

void ApplyTextColours(wxWindow* control) {
  control->SetBackgroundColour(DialogBackground());
  control->SetForegroundColour(DialogText());
}

}  // namespace quillon::ui
