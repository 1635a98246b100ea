#include "ui/HoverButtonLogic.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace quillon::ui {
namespace {

constexpr Rgb kHighlightText{255, 255, 254};
const SystemColours kSystem{kHighlightText, {128, 128, 129}, {200, 201, 202}, {250, 250, 251}, {100, 101, 102}};

// Brings a button into one of the named states of its hover table.
enum class Start { kRest, kHover, kPressedOutside, kHoverWithoutCapture };

HoverButtonLogic ButtonIn(Start start) {
  HoverButtonLogic b(kHighlightText);
  switch (start) {
    case Start::kRest:
      break;
    case Start::kHover:
      b.OnMouseMove(true, false);
      break;
    case Start::kPressedOutside:
      b.OnMouseMove(true, false);
      b.OnLeftDown();
      b.OnMouseMove(false, true);
      break;
    case Start::kHoverWithoutCapture:
      b.OnMouseMove(true, false);
      b.OnLeftDown();
      b.OnLeftUp(true);
      break;
  }
  return b;
}

struct Transition {
  const char* name;
  Start start;
  std::function<ButtonActions(HoverButtonLogic&)> event;
  bool hoverAfter;
  bool captureAfter;
  ButtonActions expected;
};

TEST(HoverButtonLogicTest, FollowsTheHoverTable) {
  const std::vector<Transition> table = {
      {"rest, move over, button up", Start::kRest, [](auto& b) { return b.OnMouseMove(true, false); }, true, true,
       {false, true, true, false}},
      {"rest, move over, button down", Start::kRest, [](auto& b) { return b.OnMouseMove(true, true); }, false,
       false, {}},
      {"hover, move inside", Start::kHover, [](auto& b) { return b.OnMouseMove(true, false); }, true, true, {}},
      {"hover, leave, button up", Start::kHover, [](auto& b) { return b.OnMouseMove(false, false); }, false, false,
       {true, false, true, false}},
      {"hover, leave, button down", Start::kHover, [](auto& b) { return b.OnMouseMove(false, true); }, false, true,
       {false, false, true, false}},
      {"pressed outside, move with button down", Start::kPressedOutside,
       [](auto& b) { return b.OnMouseMove(false, true); }, false, true, {}},
      {"pressed outside, release", Start::kPressedOutside, [](auto& b) { return b.OnLeftUp(false); }, false, false,
       {true, false, true, false}},
      {"hover, capture taken away", Start::kHover, [](auto& b) { return b.OnCaptureChanged(); }, true, false,
       {false, false, true, false}},
      {"hover without capture, move over", Start::kHoverWithoutCapture,
       [](auto& b) { return b.OnMouseMove(true, false); }, true, true, {false, true, true, false}},
      {"rest, capture changed", Start::kRest, [](auto& b) { return b.OnCaptureChanged(); }, false, false, {}},
  };
  for (const Transition& t : table) {
    SCOPED_TRACE(t.name);
    HoverButtonLogic b = ButtonIn(t.start);
    ButtonActions actions = t.event(b);
    EXPECT_EQ(b.IsHovering(), t.hoverAfter);
    EXPECT_EQ(b.HoldsCapture(), t.captureAfter);
    EXPECT_EQ(actions.releaseCapture, t.expected.releaseCapture);
    EXPECT_EQ(actions.takeCapture, t.expected.takeCapture);
    EXPECT_EQ(actions.repaint, t.expected.repaint);
    EXPECT_EQ(actions.click, t.expected.click);
  }
}

TEST(HoverButtonLogicTest, ClickReleasesCaptureAndKeepsTheHoverLook) {
  HoverButtonLogic b = ButtonIn(Start::kHover);
  ButtonActions down = b.OnLeftDown();
  EXPECT_FALSE(down.takeCapture) << "the hover capture is reused";
  EXPECT_TRUE(b.IsPressed());
  ButtonActions up = b.OnLeftUp(true);
  EXPECT_TRUE(up.click);
  EXPECT_TRUE(up.releaseCapture);
  EXPECT_FALSE(b.IsPressed());
  EXPECT_TRUE(b.IsHovering());
  EXPECT_FALSE(b.HoldsCapture());
  EXPECT_EQ(b.PlanDraw({0, 0, 80, 20}, false, false, kSystem).face, kDefaultHoverBackground);
}

TEST(HoverButtonLogicTest, DraggingOutAndBackFollowsThePointer) {
  HoverButtonLogic b = ButtonIn(Start::kHover);
  b.OnLeftDown();
  b.OnMouseMove(false, true);
  EXPECT_FALSE(b.IsPressed());
  EXPECT_FALSE(b.IsHovering());
  EXPECT_EQ(b.PlanDraw({0, 0, 80, 20}, false, false, kSystem).edge, EdgeKind::kBorder);
  b.OnMouseMove(true, true);
  EXPECT_TRUE(b.IsPressed());
  EXPECT_TRUE(b.HoldsCapture());
  EXPECT_TRUE(b.OnLeftUp(true).click);
}

TEST(HoverButtonLogicTest, ReleaseOutsideSendsNoClick) {
  HoverButtonLogic b = ButtonIn(Start::kPressedOutside);
  ButtonActions up = b.OnLeftUp(false);
  EXPECT_FALSE(up.click);
  EXPECT_FALSE(b.HoldsCapture());
}

TEST(HoverButtonLogicTest, PressWithoutHoverTakesCaptureForTheClick) {
  HoverButtonLogic b(kHighlightText);
  b.SetFlatStyle(false, false);
  EXPECT_TRUE(b.OnLeftDown().takeCapture);
  ButtonActions up = b.OnLeftUp(true);
  EXPECT_TRUE(up.click);
  EXPECT_TRUE(up.releaseCapture);
}

TEST(HoverButtonLogicTest, NonFlatButtonNeverHoversAndDropsHoverOnFocusLoss) {
  HoverButtonLogic b(kHighlightText);
  b.SetFlatStyle(false, false);
  ButtonActions move = b.OnMouseMove(true, false);
  EXPECT_FALSE(move.takeCapture);
  EXPECT_FALSE(b.IsHovering());
  DrawPlan plan = b.PlanDraw({0, 0, 60, 20}, false, false, kSystem);
  EXPECT_EQ(plan.edge, EdgeKind::kRaised);
  EXPECT_EQ(plan.face, kDefaultNormalBackground);

  HoverButtonLogic flat = ButtonIn(Start::kHover);
  flat.OnKillFocus();
  EXPECT_TRUE(flat.IsHovering()) << "a flat button keeps its hover on focus loss";
  flat.SetFlatStyle(false, false);
  EXPECT_TRUE(flat.OnKillFocus().repaint);
  EXPECT_FALSE(flat.IsHovering());
}

TEST(HoverButtonLogicTest, KeyboardActivation) {
  HoverButtonLogic b(kHighlightText);
  EXPECT_TRUE(b.OnEnter().click);
  EXPECT_FALSE(b.IsPressed());

  b.OnSpaceDown();
  EXPECT_TRUE(b.IsPressed());
  EXPECT_FALSE(b.OnSpaceDown().repaint) << "auto-repeat changes nothing";
  EXPECT_TRUE(b.OnSpaceUp().click);
  EXPECT_FALSE(b.IsPressed());
  EXPECT_FALSE(b.OnSpaceUp().click) << "a release without a press";

  b.OnSpaceDown();
  b.OnKillFocus();
  EXPECT_FALSE(b.IsPressed());
  EXPECT_FALSE(b.OnSpaceUp().click) << "focus left while space was held";
}

TEST(HoverButtonLogicTest, SettersStoreTheirValueAndAskForRepaintWhenTold) {
  const Rgb c{1, 2, 3};
  struct Case {
    const char* name;
    std::function<bool(HoverButtonLogic&, bool)> set;
    std::function<bool(const HoverButtonLogic&)> stored;
  };
  const std::vector<Case> cases = {
      {"flat", [](auto& b, bool r) { return b.SetFlatStyle(false, r); }, [](auto& b) { return !b.IsFlat(); }},
      {"focus in flat", [](auto& b, bool r) { return b.SetFocusInFlat(false, r); },
       [](auto& b) { return !b.FocusInFlat(); }},
      {"normal background", [&](auto& b, bool r) { return b.SetNormalBackground(c, r); },
       [&](auto& b) { return b.NormalBackground() == c; }},
      {"hover background", [&](auto& b, bool r) { return b.SetHoverBackground(c, r); },
       [&](auto& b) { return b.HoverBackground() == c; }},
      {"normal text", [&](auto& b, bool r) { return b.SetNormalTextColour(c, r); },
       [&](auto& b) { return b.NormalText() == c; }},
      {"hover text", [&](auto& b, bool r) { return b.SetHoverTextColour(c, r); },
       [&](auto& b) { return b.HoverText() == c; }},
      {"border", [&](auto& b, bool r) { return b.SetBorderColour(c, r); },
       [&](auto& b) { return b.BorderColour() == c; }},
  };
  for (const Case& k : cases) {
    for (bool repaint : {false, true}) {
      SCOPED_TRACE(std::string(k.name) + (repaint ? " with repaint" : " without repaint"));
      HoverButtonLogic b(kHighlightText);
      EXPECT_EQ(k.set(b, repaint), repaint);
      EXPECT_TRUE(k.stored(b));
    }
  }
}

TEST(HoverButtonLogicTest, DefaultsAreTheSoftBlueFlatLook) {
  HoverButtonLogic b(kHighlightText);
  EXPECT_TRUE(b.IsFlat());
  EXPECT_TRUE(b.DrawBorder());
  EXPECT_TRUE(b.FocusInFlat());
  EXPECT_FALSE(b.IsHovering());
  EXPECT_EQ(b.NormalBackground(), (Rgb{150, 206, 235}));
  EXPECT_EQ(b.HoverBackground(), (Rgb{43, 200, 213}));
  EXPECT_EQ(b.NormalText(), (Rgb{17, 62, 87}));
  EXPECT_EQ(b.HoverText(), kHighlightText);
  EXPECT_EQ(b.BorderColour(), (Rgb{89, 148, 178}));
}

TEST(HoverButtonLogicTest, LooksOfTheFourStates) {
  struct Case {
    const char* name;
    Start start;
    bool pressedNow;
    bool disabled;
    Rgb face;
    Rgb caption;
    EdgeKind edge;
  };
  const std::vector<Case> cases = {
      {"rest", Start::kRest, false, false, kDefaultNormalBackground, kDefaultNormalText, EdgeKind::kBorder},
      {"hover", Start::kHover, false, false, kDefaultHoverBackground, kHighlightText, EdgeKind::kRaised},
      {"pressed", Start::kHover, true, false, kDefaultHoverBackground, kHighlightText, EdgeKind::kSunken},
      {"disabled", Start::kRest, false, true, kDefaultNormalBackground, kSystem.grayText, EdgeKind::kBorder},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    HoverButtonLogic b = ButtonIn(k.start);
    if (k.pressedNow) b.OnLeftDown();
    DrawPlan plan = b.PlanDraw({0, 0, 100, 30}, k.disabled, false, kSystem);
    EXPECT_EQ(plan.face, k.face);
    EXPECT_EQ(plan.caption, k.caption);
    EXPECT_EQ(plan.edge, k.edge);
    EXPECT_EQ(plan.border, k.disabled ? kSystem.inactiveBorder : kDefaultBorderColour);
    EXPECT_FALSE(plan.focusRect);
    EXPECT_FALSE(plan.blackFrame);
  }
}

TEST(HoverButtonLogicTest, EdgesLeaveOutTheEndPointsOfTheirLines) {
  HoverButtonLogic b = ButtonIn(Start::kHover);
  b.OnLeftDown();
  DrawPlan sunken = b.PlanDraw({0, 0, 10, 6}, false, false, kSystem);
  using F = DrawPlan::Fill;
  const std::vector<F> expected = {
      {{0, 0, 10, 6}, kDefaultHoverBackground},
      {{0, 1, 1, 6}, kSystem.buttonShadow},      // left, from (L, B-1) up to (L, T+1)
      {{0, 0, 10, 1}, kSystem.buttonShadow},     // top, (L, T) to (R-1, T)
      {{0, 5, 9, 6}, kSystem.buttonHighlight},   // bottom, (L, B-1) to (R-2, B-1)
      {{9, 0, 10, 6}, kSystem.buttonHighlight},  // right, (R-1, B-1) up to (R-1, T)
  };
  EXPECT_EQ(sunken.fills, expected);

  HoverButtonLogic rest(kHighlightText);
  DrawPlan border = rest.PlanDraw({0, 0, 10, 6}, false, false, kSystem);
  const std::vector<F> outline = {
      {{0, 0, 10, 6}, kDefaultNormalBackground}, {{0, 0, 10, 1}, kDefaultBorderColour},
      {{0, 5, 10, 6}, kDefaultBorderColour},     {{0, 0, 1, 6}, kDefaultBorderColour},
      {{9, 0, 10, 6}, kDefaultBorderColour},
  };
  EXPECT_EQ(border.fills, outline);
}

TEST(HoverButtonLogicTest, FocusRectangleAndBlackFrame) {
  HoverButtonLogic flat(kHighlightText);
  DrawPlan focused = flat.PlanDraw({0, 0, 40, 20}, false, true, kSystem);
  EXPECT_TRUE(focused.focusRect);
  EXPECT_EQ(focused.focus, (PixelRect{2, 2, 38, 18}));
  EXPECT_FALSE(focused.blackFrame);

  flat.SetFocusInFlat(false, false);
  EXPECT_FALSE(flat.PlanDraw({0, 0, 40, 20}, false, true, kSystem).focusRect);

  HoverButtonLogic raised(kHighlightText);
  raised.SetFlatStyle(false, false);
  raised.SetFocusInFlat(false, false);
  DrawPlan framed = raised.PlanDraw({0, 0, 40, 20}, false, true, kSystem);
  EXPECT_TRUE(framed.blackFrame);
  EXPECT_EQ(framed.working, (PixelRect{1, 1, 39, 19}));
  EXPECT_TRUE(framed.focusRect) << "a raised button always shows its focus";
  EXPECT_EQ(framed.focus, (PixelRect{3, 3, 37, 17}));
  EXPECT_EQ(framed.fills.front().colour, (Rgb{0, 0, 0}));

  HoverButtonLogic defaultButton(kHighlightText, true);
  defaultButton.SetFlatStyle(false, false);
  EXPECT_TRUE(defaultButton.PlanDraw({0, 0, 40, 20}, false, false, kSystem).blackFrame);
  HoverButtonLogic flatDefault(kHighlightText, true);
  EXPECT_FALSE(flatDefault.PlanDraw({0, 0, 40, 20}, false, false, kSystem).blackFrame);
}

TEST(HoverButtonLogicTest, CaptionIsCentredAndMovesWhenPressed) {
  struct Case {
    int textWidth, textHeight;
    bool pressed;
    int x, y;
  };
  const std::vector<Case> cases = {
      {40, 10, false, 30, 5}, {40, 10, true, 31, 6}, {41, 11, false, 29, 4},
      {120, 10, false, -10, 5},  // wider than the button: halves truncate toward zero
      {101, 25, false, 0, -2},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.textWidth << "x" << k.textHeight << (k.pressed ? " pressed" : ""));
    int x = 0;
    int y = 0;
    HoverButtonLogic::CaptionOrigin({0, 0, 100, 20}, k.pressed, k.textWidth, k.textHeight, x, y);
    EXPECT_EQ(x, k.x);
    EXPECT_EQ(y, k.y);
  }
}

TEST(HoverButtonLogicTest, CaptionIsCutToSixtyThreeCharacters) {
  EXPECT_EQ(HoverButtonLogic::CaptionText(""), "");
  EXPECT_EQ(HoverButtonLogic::CaptionText(std::string(63, 'a')), std::string(63, 'a'));
  EXPECT_EQ(HoverButtonLogic::CaptionText(std::string(64, 'a')), std::string(63, 'a'));
  std::string chinese;
  for (int i = 0; i < 70; ++i) chinese += "確";
  std::string cut = HoverButtonLogic::CaptionText(chinese);
  EXPECT_EQ(cut.size(), 63u * 3u) << "cut between characters, not inside one";
}

}  // namespace
}  // namespace quillon::ui
