#include "ui/LoggerIcon.h"

#include <memory>

#include <wx/brush.h>
#include <wx/graphics.h>
#include <wx/icon.h>
#include <wx/image.h>
#include <wx/pen.h>

namespace quillon::ui {

wxBitmap DrawLoggerIcon(int size) {
  wxImage image(size, size);
  image.InitAlpha();
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) image.SetAlpha(x, y, 0);
  }
  {
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
    // Drawn on a 32 x 32 grid, scaled to the size asked for.
    double s = size / 32.0;
    gc->Scale(s, s);
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);

    // Antenna.
    gc->SetPen(wxPen(wxColour(17, 62, 87), 2));
    gc->StrokeLine(9, 11, 9, 4);
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(wxBrush(wxColour(17, 62, 87)));
    gc->DrawEllipse(7.5, 2.5, 3, 3);

    // Logger body, screen and key.
    gc->SetBrush(wxBrush(wxColour(17, 62, 87)));
    gc->DrawRoundedRectangle(3, 10, 19, 21, 3.5);
    gc->SetBrush(wxBrush(wxColour(150, 206, 235)));
    gc->DrawRectangle(6, 13, 13, 8);
    gc->SetPen(wxPen(wxColour(13, 125, 188), 1));
    gc->StrokeLine(8, 19, 11, 16);
    gc->StrokeLine(11, 16, 13, 18);
    gc->StrokeLine(13, 18, 17, 15);
    gc->SetPen(*wxTRANSPARENT_PEN);
    gc->SetBrush(wxBrush(wxColour(43, 200, 213)));
    gc->DrawEllipse(10, 23.5, 5, 5);

    // Satellite: body and two solar panels, tilted.
    wxGraphicsMatrix turn = gc->CreateMatrix();
    // Panels across the line to the logger, which lies down to the left.
    turn.Translate(25, 7);
    turn.Rotate(0.75);
    gc->PushState();
    gc->ConcatTransform(turn);
    gc->SetBrush(wxBrush(wxColour(13, 125, 188)));
    gc->DrawRectangle(-6.5, -1.5, 4, 3);
    gc->DrawRectangle(2.5, -1.5, 4, 3);
    gc->SetBrush(wxBrush(wxColour(235, 170, 40)));
    gc->DrawRectangle(-2.5, -2.5, 5, 5);
    gc->PopState();

    // Signal waves toward the logger.
    gc->SetPen(wxPen(wxColour(43, 200, 213), 2));
    gc->SetBrush(*wxTRANSPARENT_BRUSH);
    wxGraphicsPath waves = gc->CreatePath();
    waves.AddArc(25, 7, 8, 2.15, 2.95, true);
    gc->StrokePath(waves);
    wxGraphicsPath outer = gc->CreatePath();
    outer.AddArc(25, 7, 12, 2.2, 2.9, true);
    gc->StrokePath(outer);
  }
  return wxBitmap(image);
}

wxIconBundle LoggerIcons() {
  wxIconBundle icons;
  for (int size : {16, 32, 48}) {
    wxIcon icon;
    icon.CopyFromBitmap(DrawLoggerIcon(size));
    icons.AddIcon(icon);
  }
  return icons;
}

}  // namespace quillon::ui
