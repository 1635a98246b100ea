// The commands beyond the template on the real windows: the Track View over a
// long tagged track, and opening a raw log by the menu item and by a drop.

#include <gtest/gtest.h>
#include <wx/dnd.h>

#include <cmath>
#include <numbers>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/support/NativePath.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/ui/RoutedApp.h"
#include "tests/ui/UiTestSupport.h"
#include "trackview/TrackModel.h"
#include "ui/MainWindow.h"
#include "ui/RawLogFileDialog.h"
#include "ui/TrackViewWindow.h"

namespace quillon::uitest {
namespace {

// A lap of about 3 hours around a lake near Taipei, a fix every 2 seconds,
// with speeds from walking to a fast road and a hill, and six tagged runs.
std::string SyntheticTrack(int fixes) {
  const int tagAt[][2] = {{700, 1}, {1500, 0}, {1800, 2}, {2600, 5}, {3300, 0}, {3600, 7}, {4400, 12}, {5000, 0}};
  std::string text = "@Logger memory dump\r\n";
  int tag = 0;
  for (int i = 0; i < fixes; ++i) {
    for (const auto& change : tagAt) {
      if (change[0] == i) tag = change[1];
    }
    const double t = 2.0 * std::numbers::pi * i / fixes;
    const double north = 25.03 + 0.045 * std::cos(t) + 0.012 * std::cos(3 * t);
    const double east = 121.56 + 0.06 * std::sin(t) + 0.015 * std::sin(2 * t);
    const double knots = 4.0 + 14.0 * (1 + std::sin(2 * t + 0.6)) + 3.0 * std::sin(17 * t);
    const double altitude = 25.0 + 140.0 * std::exp(-std::pow((t - 3.6) / 0.7, 2)) + 6 * std::sin(9 * t);
    const int seconds = 6 * 3600 + 45 * 60 + 2 * i;
    // Room for any int, so that no compiler sees a possible truncation; tags
    // stay below 1000 and so fill three places.
    char tagField[12] = {};
    if (tag == 0) {
      std::snprintf(tagField, sizeof tagField, "---");
    } else {
      std::snprintf(tagField, sizeof tagField, "%3d", tag);
      for (char& c : tagField) c = c == ' ' ? '-' : c;
    }
    char time[16], where[64], line[256];
    std::snprintf(time, sizeof time, "%02d%02d%02d.000", seconds / 3600, seconds / 60 % 60, seconds % 60);
    std::snprintf(where, sizeof where, "%02d%07.4f,N,%03d%07.4f,E", static_cast<int>(north),
                  (north - static_cast<int>(north)) * 60, static_cast<int>(east), (east - static_cast<int>(east)) * 60);
    std::snprintf(line, sizeof line, "%s,$GPGGA,%s,%s,1,08,1.10,%.1f,M,,M,,*00\r\n", tagField, time, where, altitude);
    text += line;
    std::snprintf(line, sizeof line, "%s,$GPRMC,%s,A,%s,%.2f,40.00,120308,,,A*00\r\n", tagField, time, where, knots);
    text += line;
  }
  return text;
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

using App = uitest::RoutedApp;
using uitest::SendMenu;

using quillon::testing::TimeZoneScope;

TEST(TrackViewTest, ShowsALongTaggedTrackHoversZoomsAndSavesItsPicture) {
  TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, false);
  constexpr int kFixes = 5400;
  WriteText(std::filesystem::path("Rawdata") / kSampleRawLogName, SyntheticTrack(kFixes));
  RecordedMessageBoxes boxes;
  App app;
  bool sawView = false;
  WhileModal(app.window, [&] {
    ASSERT_EQ(app.router.State().fixList.Size(), static_cast<std::size_t>(kFixes));
    app.window.SetChecked(ids::kUseLocalTime, true);
    app.window.CallAfter([&] {
      auto* view = dynamic_cast<ui::TrackViewWindow*>(FindDialog("Track View - Demo Software"));
      ASSERT_NE(view, nullptr);
      sawView = true;
      Pump(400);
      EXPECT_EQ(view->SummaryText().rfind("5400 fixes, ", 0), 0u) << view->SummaryText();
      EXPECT_NE(view->SummaryText().find("2:59:58"), std::string::npos) << view->SummaryText();
      SaveScreenshot(view, "track_view");

      // Hovering over the speed profile picks the fix at that time, in
      // local time as the check box says.
      ui::TrackViewCanvas& canvas = view->Canvas();
      const PixelRect plot = canvas.Layout().speedPlot;
      canvas.HoverAt(wxPoint(static_cast<int>(plot.left + plot.width / 2), static_cast<int>(plot.top + 20)));
      ASSERT_TRUE(canvas.Hovered().has_value());
      EXPECT_NEAR(static_cast<double>(*canvas.Hovered()), kFixes / 2.0, 3.0);
      EXPECT_EQ(view->HoverText().rfind("2008-03-12 16:1", 0), 0u) << view->HoverText();
      EXPECT_NE(view->HoverText().find("Tag 005"), std::string::npos) << view->HoverText();

      // Over the map the fix under the pointer, marked with the same fix on
      // the profiles.
      const TrackModel model = TrackModel::Build(app.router.State().fixList);
      const TrackFix& aimed = model.Fixes()[1350];
      const PixelPoint there = canvas.View().ToPixel(aimed.x, aimed.y);
      canvas.HoverAt(wxPoint(static_cast<int>(std::lround(there.x)), static_cast<int>(std::lround(there.y))));
      ASSERT_TRUE(canvas.Hovered().has_value());
      // Neighbouring fixes lie less than a pixel apart when the map is small
      // (as under Wine, with its wider drop-downs), so the picked fix is
      // checked by where it is drawn: no farther from the pointer than the
      // aimed one, which is within half a pixel of it each way.
      const TrackFix& picked = model.Fixes()[*canvas.Hovered()];
      const PixelPoint drawn = canvas.View().ToPixel(picked.x, picked.y);
      EXPECT_LE(std::hypot(drawn.x - std::lround(there.x), drawn.y - std::lround(there.y)), 0.75)
          << "picked fix " << *canvas.Hovered() << ", aimed at 1350";
      EXPECT_NEAR(static_cast<double>(*canvas.Hovered()), 1350.0, 20.0);
      EXPECT_NE(view->HoverText().find("Tag 001"), std::string::npos) << view->HoverText();
      const PixelRect map = canvas.Layout().map;
      canvas.HoverAt(wxPoint(static_cast<int>(map.left + 3), static_cast<int>(map.top + 3)));
      EXPECT_FALSE(canvas.Hovered().has_value()) << "nothing near the map's corner";

      const wxSize size = canvas.GetClientSize();
      ASSERT_GT(size.x, 400);
      const wxPoint centre(static_cast<int>(map.left + map.width / 2), static_cast<int>(map.top + map.height / 2));
      const double before = canvas.View().MetresPerPixel();
      canvas.ZoomAt(centre, 3);
      EXPECT_NEAR(canvas.View().MetresPerPixel(), before / std::pow(1.25, 3), before * 1e-9);
      canvas.DragBy(centre, centre + wxPoint(40, -25));
      Pump(100);
      SaveScreenshot(view, "track_view_zoomed");

      const std::string png = folder.Path() + "/picture.png";
      EXPECT_TRUE(view->SavePicture(png));
      wxImage saved;
      ASSERT_TRUE(saved.LoadFile(png, wxBITMAP_TYPE_PNG));
      EXPECT_EQ(saved.GetSize(), size);
      EXPECT_TRUE(boxes.shown.empty());
      EXPECT_FALSE(view->SavePicture(folder.Path() + "/no such folder/picture.png"));
      ASSERT_EQ(boxes.shown.size(), 1u);
      EXPECT_EQ(boxes.shown[0].text, "Can't save the picture " + folder.Path() + "/no such folder/picture.png");
      view->EndModal(wxID_CLOSE);
    });
    SendMenu(app.window, ids::kTrackView);
  });
  EXPECT_TRUE(sawView);
}

// How many pixels of `rect` in `image` are near `colour`.
int PixelsNear(const wxImage& image, const PixelRect& rect, const wxColour& colour) {
  int count = 0;
  for (int y = static_cast<int>(rect.top); y <= static_cast<int>(rect.top + rect.height); ++y) {
    for (int x = static_cast<int>(rect.left); x <= static_cast<int>(rect.left + rect.width); ++x) {
      const int distance = std::abs(image.GetRed(x, y) - colour.Red()) + std::abs(image.GetGreen(x, y) - colour.Green()) +
                           std::abs(image.GetBlue(x, y) - colour.Blue());
      if (distance < 60) ++count;
    }
  }
  return count;
}

// A log of one fix: its speed and its altitude are each a dot on their
// profile, not a line of no length that draws nothing. The altitude's dot
// lies on the plot's lower edge (a scale of one value starts there), half of
// it over the frame.
TEST(TrackViewTest, ALoneFixIsADotOnEachProfile) {
  RunFolder folder(true, false);
  WriteText(std::filesystem::path("Rawdata") / kSampleRawLogName, SyntheticTrack(1));
  RecordedMessageBoxes boxes;
  App app;
  bool sawView = false;
  WhileModal(app.window, [&] {
    ASSERT_EQ(app.router.State().fixList.Size(), 1u);
    app.window.CallAfter([&] {
      auto* view = dynamic_cast<ui::TrackViewWindow*>(FindDialog("Track View - Demo Software"));
      ASSERT_NE(view, nullptr);
      sawView = true;
      Pump(200);
      const std::string png = folder.Path() + "/one fix.png";
      ASSERT_TRUE(view->SavePicture(png));
      wxImage picture;
      ASSERT_TRUE(picture.LoadFile(png, wxBITMAP_TYPE_PNG));
      const ui::TrackViewCanvas& canvas = view->Canvas();
      EXPECT_GE(PixelsNear(picture, canvas.Layout().speedPlot, wxColour(33, 102, 172)), 8);
      EXPECT_GE(PixelsNear(picture, canvas.Layout().altitudePlot, wxColour(120, 84, 40)), 8);
      view->EndModal(wxID_CLOSE);
    });
    SendMenu(app.window, ids::kTrackView);
  });
  EXPECT_TRUE(sawView);
}

TEST(TrackViewTest, OpensARawLogByTheMenuItemAndByADrop) {
  RunFolder folder(true, true);
  RecordedMessageBoxes boxes;
  App app;
  const std::filesystem::path other = std::filesystem::path(folder.Path()) / "elsewhere" / "lake lap.log";
  WriteText(other, SyntheticTrack(300));
  WhileModal(app.window, [&] {
    const AppState& state = app.router.State();
    const std::size_t sampleFixes = state.fixList.Size();
    ASSERT_GT(sampleFixes, 0u);

    ui::SetRawLogFileHook([&]() -> std::optional<std::string> { return other.string(); });
    SendMenu(app.window, ids::kOpenRawLog);
    ui::SetRawLogFileHook({});
    EXPECT_EQ(app.window.GetItemText(ids::kFileNameLabel), testing::NativePath("elsewhere/lake lap.log"));
    EXPECT_EQ(state.fixList.Size(), 300u);
    EXPECT_EQ(state.logSerial, 0u);
    EXPECT_EQ(app.window.GetItemText(ids::kFromYear), "2008");
    EXPECT_EQ(app.window.GetItemText(ids::kFromHour), "06");
    auto* tags = static_cast<wxComboBox*>(app.window.FindWindow(ids::kTagBox));
    EXPECT_EQ(static_cast<int>(tags->GetCount()), state.tagBox.GetCount());

    // A cancelled dialog changes nothing.
    ui::SetRawLogFileHook([]() -> std::optional<std::string> { return std::nullopt; });
    SendMenu(app.window, ids::kOpenRawLog);
    ui::SetRawLogFileHook({});
    EXPECT_EQ(state.fixList.Size(), 300u);

    // A drop on a control of the window opens like the menu item; a file that
    // cannot be read keeps what is loaded.
    auto* drop = dynamic_cast<wxFileDropTarget*>(app.window.FindWindow(ids::kExit)->GetDropTarget());
    ASSERT_NE(drop, nullptr);
    wxArrayString files;
    files.Add(folder.Path() + "/Rawdata/" + kSampleRawLogName);
    EXPECT_TRUE(drop->OnDropFiles(5, 5, files));
    Pump(100);
    EXPECT_EQ(state.fixList.Size(), sampleFixes);
    EXPECT_EQ(state.logSerial, 1234567u);
    EXPECT_EQ(app.window.GetItemText(ids::kFileNameLabel), testing::NativePath(std::string("Rawdata/") + kSampleRawLogName));
    files[0] = folder.Path() + "/Rawdata";
    EXPECT_TRUE(drop->OnDropFiles(5, 5, files));
    Pump(100);
    EXPECT_EQ(state.fixList.Size(), sampleFixes);
  });
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text,
            "Can't open " + folder.Path() + "/Rawdata: it is a folder, not a file. The log loaded before stays.");
}

}  // namespace
}  // namespace quillon::uitest
