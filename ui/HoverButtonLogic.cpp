#include "ui/HoverButtonLogic.h"

namespace quillon::ui {

namespace {

constexpr Rgb kBlack{0, 0, 0};

void AddFill(std::vector<DrawPlan::Fill>& fills, PixelRect rect, Rgb colour) {
  if (rect.Width() > 0 && rect.Height() > 0) fills.push_back({rect, colour});
}

PixelRect Shrunk(PixelRect r, int by) { return {r.left + by, r.top + by, r.right - by, r.bottom - by}; }

// A rectangle's one-pixel outline, as a pen of width 1 draws it.
void AddOutline(std::vector<DrawPlan::Fill>& fills, PixelRect r, Rgb colour) {
  AddFill(fills, {r.left, r.top, r.right, r.top + 1}, colour);
  AddFill(fills, {r.left, r.bottom - 1, r.right, r.bottom}, colour);
  AddFill(fills, {r.left, r.top, r.left + 1, r.bottom}, colour);
  AddFill(fills, {r.right - 1, r.top, r.right, r.bottom}, colour);
}

// The two strokes of a 3-D edge. Lines end one pixel short of their end
// point, so the second pen overdraws the corners (L, B-1) and (R-1, T).
void AddEdge(std::vector<DrawPlan::Fill>& fills, PixelRect r, Rgb topLeft, Rgb bottomRight) {
  AddFill(fills, {r.left, r.top + 1, r.left + 1, r.bottom}, topLeft);
  AddFill(fills, {r.left, r.top, r.right, r.top + 1}, topLeft);
  AddFill(fills, {r.left, r.bottom - 1, r.right - 1, r.bottom}, bottomRight);
  AddFill(fills, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}

void Merge(ButtonActions& into, const ButtonActions& more) {
  into.releaseCapture = into.releaseCapture || more.releaseCapture;
  into.takeCapture = into.takeCapture || more.takeCapture;
  into.repaint = into.repaint || more.repaint;
  into.click = into.click || more.click;
}

}  // namespace

HoverButtonLogic::HoverButtonLogic(Rgb hoverText, bool isDefault) : isDefault_(isDefault), hoverText_(hoverText) {}

bool HoverButtonLogic::SetFlatStyle(bool flat, bool repaint) {
  flat_ = flat;
  return repaint;
}

bool HoverButtonLogic::SetFocusInFlat(bool focusInFlat, bool repaint) {
  focusInFlat_ = focusInFlat;
  return repaint;
}

bool HoverButtonLogic::SetNormalBackground(Rgb colour, bool repaint) {
  normalBackground_ = colour;
  return repaint;
}

bool HoverButtonLogic::SetHoverBackground(Rgb colour, bool repaint) {
  hoverBackground_ = colour;
  return repaint;
}

bool HoverButtonLogic::SetNormalTextColour(Rgb colour, bool repaint) {
  normalText_ = colour;
  return repaint;
}

bool HoverButtonLogic::SetHoverTextColour(Rgb colour, bool repaint) {
  hoverText_ = colour;
  return repaint;
}

bool HoverButtonLogic::SetBorderColour(Rgb colour, bool repaint) {
  borderColour_ = colour;
  return repaint;
}

ButtonActions HoverButtonLogic::OnMouseMove(bool inside, bool leftDown) {
  ButtonActions actions;
  // The push-button part goes first: during a press the pressed look follows
  // the pointer in and out.
  if (mouseTracking_) {
    bool pressed = inside && leftDown;
    if (pressed != pressed_) {
      pressed_ = pressed;
      actions.repaint = true;
    }
  }
  if (leftDown && !hover_) return actions;
  if (!flat_) return actions;
  if (!capture_) {
    // Without the capture a move only arrives while the pointer is over us.
    hover_ = true;
    capture_ = true;
    actions.takeCapture = true;
    actions.repaint = true;
    return actions;
  }
  if (inside) return actions;
  if (hover_) {
    hover_ = false;
    actions.repaint = true;
  }
  // With the button held the capture stays, so the release still reaches us.
  if (!leftDown) {
    capture_ = false;
    actions.releaseCapture = true;
  }
  return actions;
}

ButtonActions HoverButtonLogic::OnLeftDown() {
  ButtonActions actions;
  pressed_ = true;
  mouseTracking_ = true;
  actions.repaint = true;
  if (!capture_) {
    capture_ = true;
    actions.takeCapture = true;
  }
  return actions;
}

ButtonActions HoverButtonLogic::OnLeftUp(bool inside) {
  if (!mouseTracking_) return {};
  bool click = pressed_ && inside;
  mouseTracking_ = false;
  pressed_ = false;
  return ReleaseByPushButton(click);
}

ButtonActions HoverButtonLogic::ReleaseByPushButton(bool click) {
  ButtonActions actions;
  actions.repaint = true;
  actions.click = click;
  if (capture_) {
    capture_ = false;
    actions.releaseCapture = true;
    Merge(actions, OnCaptureChanged());
  }
  return actions;
}

ButtonActions HoverButtonLogic::OnCaptureChanged() {
  ButtonActions actions;
  capture_ = false;
  if (mouseTracking_) {
    mouseTracking_ = false;
    pressed_ = false;
    actions.repaint = true;
  }
  // The hover flag stays set: the look stays until the pointer next moves
  // over the button and leaves it again.
  if (hover_) actions.repaint = true;
  return actions;
}

ButtonActions HoverButtonLogic::OnKillFocus() {
  ButtonActions actions;
  if (spaceHeld_) {
    spaceHeld_ = false;
    pressed_ = false;
    actions.repaint = true;
  }
  if (mouseTracking_) {
    mouseTracking_ = false;
    pressed_ = false;
    Merge(actions, ReleaseByPushButton(false));
  }
  if (!flat_) {
    hover_ = false;
    actions.repaint = true;
  }
  return actions;
}

ButtonActions HoverButtonLogic::OnSpaceDown() {
  ButtonActions actions;
  if (spaceHeld_ || mouseTracking_) return actions;
  spaceHeld_ = true;
  pressed_ = true;
  actions.repaint = true;
  return actions;
}

ButtonActions HoverButtonLogic::OnSpaceUp() {
  ButtonActions actions;
  if (!spaceHeld_) return actions;
  spaceHeld_ = false;
  pressed_ = false;
  actions.repaint = true;
  actions.click = true;
  return actions;
}

ButtonActions HoverButtonLogic::OnEnter() {
  ButtonActions actions;
  actions.click = true;
  return actions;
}

DrawPlan HoverButtonLogic::PlanDraw(PixelRect item, bool disabled, bool focused,
                                    const SystemColours& system) const {
  DrawPlan plan;
  plan.working = item;
  if (!flat_ && (focused || isDefault_)) {
    plan.blackFrame = true;
    AddOutline(plan.fills, plan.working, kBlack);
    plan.working = Shrunk(plan.working, 1);
  }

  if (disabled) {
    plan.face = normalBackground_;
    plan.caption = system.grayText;
    plan.border = system.inactiveBorder;
  } else if (hover_ || pressed_) {
    plan.face = hoverBackground_;
    plan.caption = hoverText_;
    plan.border = borderColour_;
  } else {
    plan.face = normalBackground_;
    plan.caption = normalText_;
    plan.border = borderColour_;
  }
  AddFill(plan.fills, plan.working, plan.face);

  if (pressed_) {
    plan.edge = EdgeKind::kSunken;
    AddEdge(plan.fills, plan.working, system.buttonShadow, system.buttonHighlight);
  } else if (!flat_ || hover_) {
    plan.edge = EdgeKind::kRaised;
    AddEdge(plan.fills, plan.working, system.buttonHighlight, system.buttonShadow);
  } else if (drawBorder_) {
    plan.edge = EdgeKind::kBorder;
    AddOutline(plan.fills, plan.working, plan.border);
  }

  if (focused && (!flat_ || focusInFlat_)) {
    plan.focusRect = true;
    plan.focus = Shrunk(plan.working, 2);
  }
  return plan;
}

void HoverButtonLogic::CaptionOrigin(PixelRect item, bool pressed, int textWidth, int textHeight, int& x, int& y) {
  int shift = pressed ? 1 : 0;
  x = item.left + shift + (item.Width() - textWidth) / 2;
  y = item.top + shift + (item.Height() - textHeight) / 2;
}

std::string HoverButtonLogic::CaptionText(const std::string& text) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool startsCharacter = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (startsCharacter && ++characters > kMaxCaptionCharacters) return text.substr(0, i);
  }
  return text;
}

}  // namespace quillon::ui
