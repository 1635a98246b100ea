#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The Hover Button's behaviour without any window toolkit: the hover and
// capture state machine, the push-button tracking it rides on, and the choice
// of colours, edge and caption place for each paint. The wx control feeds it
// events and carries out the actions it returns, so tests can drive every
// state without a display.
namespace quillon::ui {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  bool operator==(const Rgb&) const = default;
};

// Left and top inclusive, right and bottom exclusive, as the platform's RECT.
struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const PixelRect&) const = default;
};

// The system colours a paint needs, read from the platform by the caller.
struct SystemColours {
  Rgb highlightText;
  Rgb grayText;
  Rgb inactiveBorder;
  Rgb buttonHighlight;
  Rgb buttonShadow;
};

inline constexpr Rgb kDefaultNormalBackground{150, 206, 235};
inline constexpr Rgb kDefaultHoverBackground{43, 200, 213};
inline constexpr Rgb kDefaultNormalText{17, 62, 87};
inline constexpr Rgb kDefaultBorderColour{89, 148, 178};
inline constexpr std::size_t kMaxCaptionCharacters = 63;

enum class EdgeKind { kNone, kBorder, kRaised, kSunken };

// One paint of the button. `fills` are solid rectangles in drawing order
// (frame, face, edge lines); the caption goes at `captionOrigin`.
struct DrawPlan {
  struct Fill {
    PixelRect rect;
    Rgb colour;
    bool operator==(const Fill&) const = default;
  };
  std::vector<Fill> fills;
  PixelRect working;
  Rgb face;
  Rgb caption;
  Rgb border;
  EdgeKind edge = EdgeKind::kNone;
  bool blackFrame = false;
  bool focusRect = false;
  PixelRect focus;
};

// What the control must do after an event, in this order: release the mouse
// capture, take it, repaint, send its command.
struct ButtonActions {
  bool releaseCapture = false;
  bool takeCapture = false;
  bool repaint = false;
  bool click = false;
};

class HoverButtonLogic {
 public:
  // hoverText is the system's highlight-text colour, read once here as the
  // control is built.
  explicit HoverButtonLogic(Rgb hoverText, bool isDefault = false);

  // The seven setters; each returns whether the caller must repaint the whole
  // control (the repaint flag).
  bool SetFlatStyle(bool flat, bool repaint);
  bool SetFocusInFlat(bool focusInFlat, bool repaint);
  bool SetNormalBackground(Rgb colour, bool repaint);
  bool SetHoverBackground(Rgb colour, bool repaint);
  bool SetNormalTextColour(Rgb colour, bool repaint);
  bool SetHoverTextColour(Rgb colour, bool repaint);
  bool SetBorderColour(Rgb colour, bool repaint);

  // Pointer and keyboard events. `inside` says whether the pointer lies in the
  // client rectangle, `leftDown` whether the left mouse button is held.
  ButtonActions OnMouseMove(bool inside, bool leftDown);
  ButtonActions OnLeftDown();
  ButtonActions OnLeftUp(bool inside);
  // Someone else took the capture (or the control released it itself).
  ButtonActions OnCaptureChanged();
  ButtonActions OnKillFocus();
  ButtonActions OnSpaceDown();
  ButtonActions OnSpaceUp();
  ButtonActions OnEnter();

  DrawPlan PlanDraw(PixelRect item, bool disabled, bool focused, const SystemColours& system) const;

  // Where the caption's top-left corner goes: centred in the item rectangle,
  // one pixel right and down while pressed; halves truncate toward zero.
  static void CaptionOrigin(PixelRect item, bool pressed, int textWidth, int textHeight, int& x, int& y);
  // The caption as drawn: its first 63 characters (UTF-8 code points).
  static std::string CaptionText(const std::string& text);

  bool IsHovering() const { return hover_; }
  bool HoldsCapture() const { return capture_; }
  bool IsPressed() const { return pressed_; }
  bool IsFlat() const { return flat_; }
  bool IsDefault() const { return isDefault_; }
  bool DrawBorder() const { return drawBorder_; }
  bool FocusInFlat() const { return focusInFlat_; }
  Rgb NormalBackground() const { return normalBackground_; }
  Rgb HoverBackground() const { return hoverBackground_; }
  Rgb NormalText() const { return normalText_; }
  Rgb HoverText() const { return hoverText_; }
  Rgb BorderColour() const { return borderColour_; }

 private:
  ButtonActions ReleaseByPushButton(bool click);

  bool isDefault_;
  bool hover_ = false;
  bool flat_ = true;
  bool drawBorder_ = true;
  bool focusInFlat_ = true;
  Rgb normalBackground_ = kDefaultNormalBackground;
  Rgb hoverBackground_ = kDefaultHoverBackground;
  Rgb normalText_ = kDefaultNormalText;
  Rgb hoverText_;
  Rgb borderColour_ = kDefaultBorderColour;

  // The push-button part: pressed look, mouse press tracking, space key.
  bool capture_ = false;
  bool pressed_ = false;
  bool mouseTracking_ = false;
  bool spaceHeld_ = false;
};

}  // namespace quillon::ui
