#pragma once

#include <wx/control.h>

#include "ui/HoverButtonLogic.h"

namespace quillon::ui {

wxColour ToWx(Rgb colour);
Rgb FromWx(const wxColour& colour);

// A push button that draws itself: a flat soft-blue face with a thin border at
// rest, a raised cyan face with light text under the pointer, a sunken one
// while pressed. Clicking it, or space or Enter while it has the focus, sends
// wxEVT_BUTTON with its id, like any push button.
class HoverButton : public wxControl {
 public:
  HoverButton(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& pos, const wxSize& size,
              bool isDefault = false);
  ~HoverButton() override;

  const HoverButtonLogic& Logic() const { return logic_; }
  // Draws the current look into dc, as the paint handler does.
  void Render(wxDC& dc);

  bool Enable(bool enable = true) override;
  bool AcceptsFocus() const override { return IsShown() && IsEnabled(); }
  bool AcceptsFocusFromKeyboard() const override { return AcceptsFocus(); }

 protected:
  wxSize DoGetBestSize() const override;

 private:
  void Apply(const ButtonActions& actions);
  void SendClick();
  bool PointerInside(const wxMouseEvent& event) const;
  static SystemColours ReadSystemColours();

  void OnPaint(wxPaintEvent& event);
  void OnMotion(wxMouseEvent& event);
  void OnLeftDown(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnCaptureLost(wxMouseCaptureLostEvent& event);
  void OnSetFocus(wxFocusEvent& event);
  void OnKillFocus(wxFocusEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  void OnKeyUp(wxKeyEvent& event);

  HoverButtonLogic logic_;
};

}  // namespace quillon::ui
