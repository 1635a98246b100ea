#include "ui/AboutBox.h"

#include <wx/button.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "ui/DialogLook.h"
#include "ui/LoggerIcon.h"

namespace quillon::ui {

AboutBox::AboutBox(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8("關於 Quillon"), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  ApplyDialogLook(this);
  SetClientSize(ConvertDialogToPixels(wxSize(235, 55)));
  SetIcons(LoggerIcons());

  wxPoint iconAt = ConvertDialogToPixels(wxPoint(11, 17));
  new wxStaticBitmap(this, wxID_ANY, DrawLoggerIcon(32), iconAt, wxSize(32, 32));

  auto* version = new wxStaticText(this, wxID_ANY, "Quillon Version 1.0", ConvertDialogToPixels(wxPoint(40, 10)),
                                   ConvertDialogToPixels(wxSize(119, 8)), wxST_NO_AUTORESIZE);
  ApplyTextColours(version);

  auto* ok = new wxButton(this, wxID_OK, wxString::FromUTF8("確定"), ConvertDialogToPixels(wxPoint(178, 7)),
                          ConvertDialogToPixels(wxSize(50, 14)));
  ok->SetDefault();
  ok->SetFocus();
  SetEscapeId(wxID_OK);
  CentreOnParent();
}

}  // namespace quillon::ui
