#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/settings.h>
#include <wx/uiaction.h>

#include "tests/ui/UiTestSupport.h"
#include "ui/DialogLook.h"
#include "ui/HoverButton.h"
#include "ui/WindowCapture.h"

namespace quillon::uitest {
namespace {

using ui::FromWx;
using ui::Rgb;

Rgb System(wxSystemColour which) { return FromWx(wxSystemSettings::GetColour(which)); }

// A dialog in the program's colours holding one Hover Button, shown without
// a modal loop so that a test can drive the button step by step.
class ButtonStage {
 public:
  ButtonStage() : dialog_(new wxDialog(nullptr, wxID_ANY, "Hover Button", wxPoint(40, 40), wxSize(300, 120))) {
    ui::ApplyDialogLook(dialog_);
    button = new ui::HoverButton(dialog_, 1234, "Dump Logger data", wxPoint(40, 30), wxSize(200, 34));
    other = new ui::HoverButton(dialog_, 1235, "Other", wxPoint(40, 80), wxSize(60, 20));
    dialog_->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { clicks.push_back(event.GetId()); });
    dialog_->Show();
    for (int i = 0; i < 200 && !dialog_->IsShownOnScreen(); ++i) Pump(10);
    Pump(150);
  }
  ~ButtonStage() {
    if (button->HasCapture()) button->ReleaseMouse();
    dialog_->Destroy();
    Pump(20);
  }

  void Move(wxPoint at, bool leftDown = false) {
    wxMouseEvent event(wxEVT_MOTION);
    event.SetPosition(at);
    event.SetLeftDown(leftDown);
    event.SetEventObject(button);
    button->HandleWindowEvent(event);
  }
  void Mouse(wxEventType type, wxPoint at) {
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.SetLeftDown(type == wxEVT_LEFT_DOWN);
    event.SetEventObject(button);
    button->HandleWindowEvent(event);
  }
  void Key(wxEventType type, int code) {
    wxKeyEvent event(type);
    event.m_keyCode = code;
    event.SetEventObject(button);
    button->HandleWindowEvent(event);
  }
  wxImage Look(const std::string& screenshotName) {
    button->Refresh();
    Pump(60);
    wxImage image = ui::CaptureWindow(button);
    image.SaveFile(ScreenshotPath(screenshotName), wxBITMAP_TYPE_PNG);
    return image;
  }

  ui::HoverButton* button;
  ui::HoverButton* other;
  std::vector<int> clicks;

 private:
  wxDialog* dialog_;
};

const wxPoint kInside(100, 17);
const wxPoint kOutside(260, 17);

struct LookCase {
  const char* name;
  std::function<void(ButtonStage&)> bringInto;
  Rgb face;
  Rgb caption;
  Rgb topLeft;
  Rgb bottomRight;
};

TEST(HoverButtonTest, ColoursOfTheFourLooks) {
  const Rgb border{89, 148, 178};
  const std::vector<LookCase> cases = {
      {"rest", [](ButtonStage&) {}, {150, 206, 235}, {17, 62, 87}, border, border},
      {"hover", [](ButtonStage& s) { s.Move(kInside); }, {43, 200, 213}, System(wxSYS_COLOUR_HIGHLIGHTTEXT),
       System(wxSYS_COLOUR_BTNHIGHLIGHT), System(wxSYS_COLOUR_BTNSHADOW)},
      {"pressed",
       [](ButtonStage& s) {
         s.Move(kInside);
         s.Mouse(wxEVT_LEFT_DOWN, kInside);
       },
       {43, 200, 213}, System(wxSYS_COLOUR_HIGHLIGHTTEXT), System(wxSYS_COLOUR_BTNSHADOW),
       System(wxSYS_COLOUR_BTNHIGHLIGHT)},
      {"disabled", [](ButtonStage& s) { s.button->Enable(false); }, {150, 206, 235},
       System(wxSYS_COLOUR_GRAYTEXT), System(wxSYS_COLOUR_INACTIVEBORDER), System(wxSYS_COLOUR_INACTIVEBORDER)},
  };
  for (const LookCase& c : cases) {
    SCOPED_TRACE(c.name);
    ButtonStage stage;
    c.bringInto(stage);
    wxImage image = stage.Look(std::string("hover_button_") + c.name);
    int w = image.GetWidth();
    int h = image.GetHeight();
    ASSERT_EQ(w, 200);
    ASSERT_EQ(h, 34);
    EXPECT_EQ(PixelAt(image, 5, 5), c.face);
    EXPECT_EQ(PixelAt(image, w - 6, h - 6), c.face);
    EXPECT_EQ(PixelAt(image, 0, 0), c.topLeft);
    EXPECT_EQ(PixelAt(image, w / 2, 0), c.topLeft);
    EXPECT_EQ(PixelAt(image, w / 2, h - 1), c.bottomRight);
    EXPECT_EQ(PixelAt(image, w - 1, h / 2), c.bottomRight);
    wxRect text = PixelsOfColour(image, wxRect(3, 3, w - 6, h - 6), c.caption, 24);
    EXPECT_FALSE(text.IsEmpty()) << "the caption is drawn in its colour";
    if (!text.IsEmpty()) {
      EXPECT_NEAR(text.GetLeft() + text.GetWidth() / 2, w / 2, 3) << "centred";
      EXPECT_NEAR(text.GetTop() + text.GetHeight() / 2, h / 2, 4) << "centred";
    }
  }
}

TEST(HoverButtonTest, PressedCaptionSitsOnePixelRightAndDown) {
  ButtonStage stage;
  Rgb light = System(wxSYS_COLOUR_HIGHLIGHTTEXT);
  stage.Move(kInside);
  wxImage hover = stage.Look("hover_button_hover_again");
  stage.Mouse(wxEVT_LEFT_DOWN, kInside);
  wxImage pressed = stage.Look("hover_button_pressed_again");
  wxRect area(4, 4, 192, 26);
  wxRect before = PixelsOfColour(hover, area, light, 0);
  wxRect after = PixelsOfColour(pressed, area, light, 0);
  ASSERT_FALSE(before.IsEmpty());
  EXPECT_EQ(after.GetPosition(), before.GetPosition() + wxPoint(1, 1));
  EXPECT_EQ(after.GetSize(), before.GetSize());
}

TEST(HoverButtonTest, HoverTakesTheCaptureAndLeavingGivesItBack) {
  ButtonStage stage;
  stage.Move(kInside);
  EXPECT_TRUE(stage.button->Logic().IsHovering());
  EXPECT_TRUE(stage.button->HasCapture());
  stage.Move(kOutside);
  EXPECT_FALSE(stage.button->Logic().IsHovering());
  EXPECT_FALSE(stage.button->HasCapture());
  EXPECT_TRUE(stage.clicks.empty());
}

TEST(HoverButtonTest, DragOutKeepsTheCaptureUntilRelease) {
  ButtonStage stage;
  stage.Move(kInside);
  stage.Mouse(wxEVT_LEFT_DOWN, kInside);
  stage.Move(kOutside, true);
  EXPECT_FALSE(stage.button->Logic().IsHovering());
  EXPECT_TRUE(stage.button->HasCapture());
  wxImage image = stage.Look("hover_button_dragged_out");
  EXPECT_EQ(PixelAt(image, 5, 5), (Rgb{150, 206, 235}));
  stage.Mouse(wxEVT_LEFT_UP, kOutside);
  EXPECT_FALSE(stage.button->HasCapture());
  EXPECT_TRUE(stage.clicks.empty()) << "released outside: no click";
}

TEST(HoverButtonTest, ClickSendsItsCommandAndLeavesTheHoverLook) {
  ButtonStage stage;
  stage.Move(kInside);
  stage.Mouse(wxEVT_LEFT_DOWN, kInside);
  stage.Mouse(wxEVT_LEFT_UP, kInside);
  EXPECT_EQ(stage.clicks, std::vector<int>{1234});
  EXPECT_FALSE(stage.button->HasCapture());
  EXPECT_TRUE(stage.button->Logic().IsHovering()) << "hover without capture";
  stage.Move(kInside);
  EXPECT_TRUE(stage.button->HasCapture()) << "the next move takes the capture again";
}

TEST(HoverButtonTest, SpaceAndEnterActivateLikeAnyPushButton) {
  ButtonStage stage;
  stage.button->SetFocus();
  Pump(30);
  stage.Key(wxEVT_KEY_DOWN, WXK_SPACE);
  EXPECT_TRUE(stage.button->Logic().IsPressed());
  wxImage pressed = stage.Look("hover_button_space_pressed_focused");
  EXPECT_EQ(PixelAt(pressed, 5, 5), (Rgb{43, 200, 213}));
  EXPECT_TRUE(stage.clicks.empty());
  stage.Key(wxEVT_KEY_UP, WXK_SPACE);
  EXPECT_EQ(stage.clicks, std::vector<int>{1234});
  stage.Key(wxEVT_KEY_DOWN, WXK_RETURN);
  EXPECT_EQ(stage.clicks, (std::vector<int>{1234, 1234}));

  // The focus rectangle: dotted, two pixels inside the edge.
  wxImage focused = stage.Look("hover_button_focused");
  Rgb caption{17, 62, 87};
  int dots = 0;
  for (int x = 2; x < focused.GetWidth() - 2; ++x) dots += PixelAt(focused, x, 2) == caption ? 1 : 0;
  EXPECT_GT(dots, 80);
  EXPECT_LT(dots, 110);
}

TEST(HoverButtonTest, RealPointerMovesHoverAndClick) {
  if (!SimulatedInputArrives()) GTEST_SKIP() << "simulated pointer input does not reach the window here";
  ButtonStage stage;
  wxUIActionSimulator sim;
  wxPoint centre = stage.button->ClientToScreen(kInside);
  sim.MouseMove(centre);
  Pump(150);
  EXPECT_TRUE(stage.button->Logic().IsHovering());
  sim.MouseClick();
  Pump(150);
  EXPECT_EQ(stage.clicks, std::vector<int>{1234});
  sim.MouseMove(stage.button->ClientToScreen(wxPoint(100, 200)));
  Pump(150);
  sim.MouseMove(stage.button->ClientToScreen(kInside));
  Pump(100);
  sim.MouseMove(stage.button->ClientToScreen(wxPoint(100, 200)));
  Pump(150);
  EXPECT_FALSE(stage.button->Logic().IsHovering());
  EXPECT_FALSE(stage.button->HasCapture());
}

}  // namespace
}  // namespace quillon::uitest
