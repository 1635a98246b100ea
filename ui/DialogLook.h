#pragma once

#include <wx/colour.h>
#include <wx/font.h>
#include <wx/window.h>

namespace quillon::ui {

// The look every dialog and message box of the program shares.
wxColour DialogBackground();  // RGB(188, 197, 230)
wxColour DialogText();        // RGB(13, 125, 188)

// "新細明體" at 9 points where the system has it, otherwise a face that shows
// Traditional Chinese ("AR PL UMing TW"), otherwise the face of the system's
// own dialogs.
wxFont DialogFont();
wxString DialogFontFace();

// How much wider than the template a layout must be drawn for the dialog
// font: 1 for "新細明體" and the system's faces, whose Latin letters are
// proportional; more for the UMing faces, whose Latin letters all take the
// same width, since every caption then runs longer in dialog units than the
// template allows for.
double HorizontalStretch();

// Colours and font for a dialog; labels, check boxes, radio buttons and group
// boxes take the dialog colours, edit fields and combo boxes keep the system's.
void ApplyDialogLook(wxWindow* dialog);
void ApplyTextColours(wxWindow* control);

}  // namespace quillon::ui
