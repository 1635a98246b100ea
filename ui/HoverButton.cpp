#include "ui/HoverButton.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

namespace quillon::ui {

wxColour ToWx(Rgb colour) { return wxColour(colour.r, colour.g, colour.b); }

Rgb FromWx(const wxColour& colour) { return Rgb{colour.Red(), colour.Green(), colour.Blue()}; }

HoverButton::HoverButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos,
                         const wxSize& size, bool isDefault)
    : logic_(FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT)), isDefault) {
  Create(parent, id, pos, size, wxBORDER_NONE);
  SetLabel(label);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &HoverButton::OnPaint, this);
  Bind(wxEVT_MOTION, &HoverButton::OnMotion, this);
  Bind(wxEVT_ENTER_WINDOW, &HoverButton::OnMotion, this);
  Bind(wxEVT_LEFT_DOWN, &HoverButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_DCLICK, &HoverButton::OnLeftDown, this);
  Bind(wxEVT_LEFT_UP, &HoverButton::OnLeftUp, this);
  Bind(wxEVT_MOUSE_CAPTURE_LOST, &HoverButton::OnCaptureLost, this);
  Bind(wxEVT_SET_FOCUS, &HoverButton::OnSetFocus, this);
  Bind(wxEVT_KILL_FOCUS, &HoverButton::OnKillFocus, this);
  Bind(wxEVT_KEY_DOWN, &HoverButton::OnKeyDown, this);
  Bind(wxEVT_KEY_UP, &HoverButton::OnKeyUp, this);
}

HoverButton::~HoverButton() {
  // A hovered button holds the capture; a window must not die holding it.
  if (HasCapture()) ReleaseMouse();
}

bool HoverButton::Enable(bool enable) {
  bool changed = wxControl::Enable(enable);
  Refresh();
  return changed;
}

wxSize HoverButton::DoGetBestSize() const {
  wxSize text = GetTextExtent(GetLabel());
  return wxSize(text.x + 16, text.y + 10);
}

SystemColours HoverButton::ReadSystemColours() {
  SystemColours colours;
  colours.highlightText = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT));
  colours.grayText = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
  colours.inactiveBorder = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_INACTIVEBORDER));
  colours.buttonHighlight = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT));
  colours.buttonShadow = FromWx(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
  return colours;
}

void HoverButton::Render(wxDC& dc) {
  wxSize size = GetClientSize();
  PixelRect item{0, 0, size.x, size.y};
  DrawPlan plan = logic_.PlanDraw(item, !IsEnabled(), wxWindow::FindFocus() == this, ReadSystemColours());

  dc.SetPen(*wxTRANSPARENT_PEN);
  for (const DrawPlan::Fill& fill : plan.fills) {
    dc.SetBrush(wxBrush(ToWx(fill.colour)));
    dc.DrawRectangle(fill.rect.left, fill.rect.top, fill.rect.Width(), fill.rect.Height());
  }

  wxString caption = wxString::FromUTF8(HoverButtonLogic::CaptionText(GetLabel().utf8_string()));
  if (!caption.empty()) {
    dc.SetFont(GetFont());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(ToWx(plan.caption));
    wxSize text = dc.GetTextExtent(caption);
    int x = 0;
    int y = 0;
    HoverButtonLogic::CaptionOrigin(item, logic_.IsPressed(), text.x, text.y, x, y);
    dc.DrawText(caption, x, y);
  }

  if (plan.focusRect) {
    // A dotted line, every other pixel, in the caption colour.
    dc.SetBrush(wxBrush(ToWx(plan.caption)));
    const PixelRect& f = plan.focus;
    for (int x = f.left; x < f.right; x += 2) {
      dc.DrawRectangle(x, f.top, 1, 1);
      dc.DrawRectangle(x, f.bottom - 1, 1, 1);
    }
    for (int y = f.top; y < f.bottom; y += 2) {
      dc.DrawRectangle(f.left, y, 1, 1);
      dc.DrawRectangle(f.right - 1, y, 1, 1);
    }
  }
}

void HoverButton::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  Render(dc);
}

void HoverButton::Apply(const ButtonActions& actions) {
  if (actions.releaseCapture && HasCapture()) ReleaseMouse();
  if (actions.takeCapture && !HasCapture()) CaptureMouse();
  if (actions.repaint) Refresh();
  if (actions.click) SendClick();
}

void HoverButton::SendClick() {
  wxCommandEvent event(wxEVT_BUTTON, GetId());
  event.SetEventObject(this);
  event.SetString(GetLabel());
  HandleWindowEvent(event);
}

bool HoverButton::PointerInside(const wxMouseEvent& event) const {
  return wxRect(GetClientSize()).Contains(event.GetPosition());
}

void HoverButton::OnMotion(wxMouseEvent& event) {
  if (!IsEnabled()) return;
  Apply(logic_.OnMouseMove(PointerInside(event), event.LeftIsDown()));
}

void HoverButton::OnLeftDown(wxMouseEvent&) {
  if (!IsEnabled()) return;
  SetFocus();
  Apply(logic_.OnLeftDown());
}

void HoverButton::OnLeftUp(wxMouseEvent& event) { Apply(logic_.OnLeftUp(PointerInside(event))); }

void HoverButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
  ButtonActions actions = logic_.OnCaptureChanged();
  actions.releaseCapture = false;  // it is gone already
  Apply(actions);
}

void HoverButton::OnSetFocus(wxFocusEvent& event) {
  Refresh();
  event.Skip();
}

void HoverButton::OnKillFocus(wxFocusEvent& event) {
  Apply(logic_.OnKillFocus());
  Refresh();
  event.Skip();
}

void HoverButton::OnKeyDown(wxKeyEvent& event) {
  switch (event.GetKeyCode()) {
    case WXK_SPACE:
      Apply(logic_.OnSpaceDown());
      return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
      Apply(logic_.OnEnter());
      return;
    default:
      event.Skip();
  }
}

void HoverButton::OnKeyUp(wxKeyEvent& event) {
  if (event.GetKeyCode() == WXK_SPACE) {
    Apply(logic_.OnSpaceUp());
    return;
  }
  event.Skip();
}

}  // namespace quillon::ui
