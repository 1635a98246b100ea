#include "ui/DialogLook.h"

#include <wx/fontenum.h>

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
    return wxString();
  }();
  return face;
}

double HorizontalStretch() {
  static const double stretch = [] {
    wxString face = DialogFontFace();
    bool original = face == wxString::FromUTF8("新細明體") || face == "PMingLiU";
    return original ? 1.0 : 1.2;
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
