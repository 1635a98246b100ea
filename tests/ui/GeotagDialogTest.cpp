// "Geotag Photos..." on the real windows: a folder of photos tagged from the
// loaded raw log through the dialog, then marked on the Track View.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include <exiv2/exiv2.hpp>
#include <wx/button.h>
#include <wx/dnd.h>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "core/ControlIds.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/geotag/CameraPhoto.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/ui/RoutedApp.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/GeotagDialog.h"
#include "ui/MainWindow.h"
#include "ui/TrackViewWindow.h"

namespace quillon::uitest {
namespace {

namespace fs = std::filesystem;
using quillon::testing::CameraPhoto;
using quillon::testing::TimeZoneScope;

using App = uitest::RoutedApp;
using uitest::SendMenu;

void Click(wxWindow* dialog, int id) {
  auto* button = dynamic_cast<wxButton*>(dialog->FindWindow(id));
  ASSERT_NE(button, nullptr) << "no button " << id;
  ASSERT_TRUE(button->IsEnabled()) << button->GetLabel();
  wxCommandEvent event(wxEVT_BUTTON, id);
  event.SetEventObject(button);
  button->HandleWindowEvent(event);
}

// Lets events run until the session has nothing left to do and the dialog
// has shown its last report.
void Settle(ui::GeotagDialog& dialog) {
  dialog.Session().WaitUntilIdle();
  Pump(150);
}

std::vector<std::string> RowCells(const ui::GeotagDialog& dialog, long row) {
  std::vector<std::string> cells;
  for (int c = 0; c < 6; ++c) cells.push_back(dialog.Cell(row, c));
  return cells;
}

double GpsDegrees(const fs::path& photo, const char* key, const char* refKey) {
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(photo.string());
  image->readMetadata();
  const Exiv2::ExifData& exif = image->exifData();
  const auto datum = exif.findKey(Exiv2::ExifKey(key));
  if (datum == exif.end()) return NAN;
  double value = 0;
  for (long n = 0; n < 3; ++n) value += datum->toFloat(n) / std::pow(60.0, static_cast<double>(n));
  const std::string ref = exif.findKey(Exiv2::ExifKey(refKey))->toString();
  return ref == "S" || ref == "W" ? -value : value;
}

TEST(GeotagDialogTest, TagsAFolderOfPhotosFromTheLoadedLogAndTheTrackViewMarksThem) {
  // The PC's zone is Taipei's; the camera's clock was set to UTC and writes
  // no offset, so only the zone field brings the photos onto the track.
  TimeZoneScope pcZone("Asia/Taipei");
  RunFolder folder(true, false);
  const fs::path photos = fs::path(folder.Path()) / "card";
  fs::create_directories(photos);
  CameraPhoto(photos, "a.jpg", "2008:03:07 14:05:14", "");
  CameraPhoto(photos, "b.png", "2008:03:07 14:05:16", "");
  CameraPhoto(photos, "c.tif", "2008:03:07 18:30:00", "");
  CameraPhoto(photos, "d.jpg", "", "");
  const std::string untouched = quillon::testing::ReadAll(photos / "c.tif");

  RecordedMessageBoxes boxes;
  App app;
  bool sawDialog = false, sawView = false;
  WhileModal(app.window, [&] {
    app.router.OpenRawLogFile(std::string(QUILLON_TEST_DATA_DIR) + "/export_three_fixes.txt", app.window);
    ASSERT_EQ(app.router.State().fixList.Size(), 3u) << Describe(boxes.shown);
    ASSERT_TRUE(app.router.HasCommand(ids::kGeotagPhotos));

    app.window.CallAfter([&] {
      auto* dialog = dynamic_cast<ui::GeotagDialog*>(FindDialog("Geotag Photos"));
      ASSERT_NE(dialog, nullptr);
      sawDialog = true;
      EXPECT_EQ(dialog->TrackText(), "Track: 3 fixes, 2008-03-07 14:05:09 to 2008-03-07 14:05:19 UTC");
      EXPECT_EQ(dialog->StatusLine(), "Add photos or a folder of photos, or drop them here.");
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled());

      ui::SetGeotagChooserHook([&](bool forFolder) {
        EXPECT_TRUE(forFolder) << "Add Folder... asks for a folder";
        return std::vector<std::string>{photos.string()};
      });
      Click(dialog, ui::geotagids::kAddFolder);
      ui::SetGeotagChooserHook({});
      Settle(*dialog);
      ASSERT_EQ(dialog->Rows(), 4);
      const std::vector<std::string> inPcZone = {"a.jpg", "2008-03-07 14:05:14.50", "2008-03-07 06:05:14.500",
                                                 "",      "",                       "outside the track"};
      EXPECT_EQ(RowCells(*dialog, 0), inPcZone)
          << "read in the PC's zone";
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled());

      Type(dialog, ui::geotagids::kCameraZone, "UTC");
      Settle(*dialog);
      const std::vector<std::vector<std::string>> expected = {
          {"a.jpg", "2008-03-07 14:05:14.50", "2008-03-07 14:05:14.500", "25.052120", "-121.509510", "to be tagged"},
          {"b.png", "2008-03-07 14:05:16.50", "2008-03-07 14:05:16.500", "25.052200", "-121.509550", "to be tagged"},
          {"c.tif", "2008-03-07 18:30:00.50", "2008-03-07 18:30:00.500", "", "", "outside the track"},
          {"d.jpg", "", "", "", "", "no time taken"},
      };
      for (long row = 0; row < 4; ++row) EXPECT_EQ(RowCells(*dialog, row), expected[row]) << "row " << row;
      EXPECT_EQ(dialog->StatusLine(), "2 of 4 photos to be tagged.");
      EXPECT_TRUE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled());

      // A field that is no offset says so and nothing can be written.
      Type(dialog, ui::geotagids::kClockOffset, "1:75");
      Settle(*dialog);
      EXPECT_EQ(dialog->StatusLine(), "The clock offset \"1:75\" is not [+-]SS, [+-]MM:SS or [+-]HH:MM:SS.");
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled());
      EXPECT_EQ(dialog->Cell(0, 5), "");
      Type(dialog, ui::geotagids::kClockOffset, "0");
      Settle(*dialog);
      EXPECT_EQ(dialog->Cell(0, 5), "to be tagged");
      SaveScreenshot(dialog, "geotag_dialog");

      Click(dialog, ui::geotagids::kWritePositions);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (dialog->Session().Snapshot().phase != GeotagPhase::kWritten && std::chrono::steady_clock::now() < deadline)
        Pump(20);
      Settle(*dialog);
      EXPECT_EQ(dialog->StatusLine(), "Done: 2 tagged, 2 left alone, 0 failed.");
      EXPECT_EQ(dialog->Cell(0, 5), "tagged");
      EXPECT_EQ(dialog->Cell(1, 5), "tagged");
      EXPECT_EQ(dialog->Cell(2, 5), "outside the track");
      EXPECT_EQ(dialog->Progress().GetValue(), 4);
      EXPECT_EQ(dialog->Progress().GetRange(), 4);
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled()) << "nothing is left to tag";
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kCancelWrite)->IsEnabled());
      SaveScreenshot(dialog, "geotag_dialog_written");
      Click(dialog, wxID_CLOSE);
    });
    SendMenu(app.window, ids::kGeotagPhotos);
    EXPECT_EQ(FindDialog("Geotag Photos"), nullptr) << "Close closed it";

    // The photos carry the positions the table showed; the one outside the
    // track is byte for byte as it was.
    EXPECT_NEAR(GpsDegrees(photos / "a.jpg", "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef"), 25.052120,
                1e-6);
    EXPECT_NEAR(GpsDegrees(photos / "a.jpg", "Exif.GPSInfo.GPSLongitude", "Exif.GPSInfo.GPSLongitudeRef"),
                -121.509510, 1e-6);
    EXPECT_NEAR(GpsDegrees(photos / "b.png", "Exif.GPSInfo.GPSLatitude", "Exif.GPSInfo.GPSLatitudeRef"), 25.052200,
                1e-6);
    EXPECT_EQ(quillon::testing::ReadAll(photos / "c.tif"), untouched);
    const std::vector<GeotaggedPhoto>& placed = app.router.State().geotaggedPhotos;
    ASSERT_EQ(placed.size(), 2u);

    app.window.CallAfter([&] {
      auto* view = dynamic_cast<ui::TrackViewWindow*>(FindDialog("Track View - Demo Software"));
      ASSERT_NE(view, nullptr);
      sawView = true;
      Pump(300);
      EXPECT_NE(view->SummaryText().find(", 2 photos"), std::string::npos) << view->SummaryText();
      ui::TrackViewCanvas& canvas = view->Canvas();
      // Zoomed in so that the two photos, 2 s apart on a slow track, lie
      // apart on the screen.
      const PixelRect map = canvas.Layout().map;
      canvas.ZoomAt(wxPoint(static_cast<int>(map.left + map.width / 2), static_cast<int>(map.top + map.height / 2)), 2);
      Pump(100);
      const TrackModel model = TrackModel::Build(app.router.State().fixList);
      const std::vector<PhotoMarker> markers = PlacePhotoMarkers(model, placed);
      ASSERT_EQ(markers.size(), 2u);
      const PixelPoint b = canvas.View().ToPixel(markers[1].x, markers[1].y);
      canvas.HoverAt(wxPoint(static_cast<int>(std::lround(b.x)), static_cast<int>(std::lround(b.y))));
      ASSERT_TRUE(canvas.HoveredPhoto().has_value());
      EXPECT_EQ(*canvas.HoveredPhoto(), 1u);
      EXPECT_EQ(view->HoverText(), "b.png  taken 2008-03-07 14:05:16 UTC");

      // The markers are on the picture in their colour, where the photos are.
      const wxImage picture = canvas.RenderPicture();
      const PixelPoint a = canvas.View().ToPixel(markers[0].x, markers[0].y);
      const wxRect around(static_cast<int>(a.x) - 6, static_cast<int>(a.y) - 6, 13, 13);
      EXPECT_FALSE(PixelsOfColour(picture, around, {116, 62, 168}, 30).IsEmpty()) << "no marker at photo a";
      SaveScreenshot(view, "track_view_photos");
      view->EndModal(wxID_CLOSE);
    });
    SendMenu(app.window, ids::kTrackView);
  });
  EXPECT_TRUE(sawDialog);
  EXPECT_TRUE(sawView);
}

// Cancel stops the write between photos: each photo is either tagged or
// byte for byte as it was, and the table and the line under it say which.
TEST(GeotagDialogTest, CancelStopsTheWriteBetweenPhotos) {
  TimeZoneScope pcZone("UTC");
  RunFolder folder(true, false);
  const fs::path photos = fs::path(folder.Path()) / "card";
  fs::create_directories(photos);
  constexpr int kPhotos = 30;
  std::vector<std::string> before;
  for (int i = 0; i < kPhotos; ++i) {
    const fs::path photo = CameraPhoto(photos, "p" + std::to_string(10 + i) + ".jpg", "2008:03:07 14:05:12");
    before.push_back(quillon::testing::ReadAll(photo));
  }
  RecordedMessageBoxes boxes;
  App app;
  bool sawDialog = false;
  WhileModal(app.window, [&] {
    app.router.OpenRawLogFile(std::string(QUILLON_TEST_DATA_DIR) + "/export_three_fixes.txt", app.window);
    app.window.CallAfter([&] {
      auto* dialog = dynamic_cast<ui::GeotagDialog*>(FindDialog("Geotag Photos"));
      ASSERT_NE(dialog, nullptr);
      sawDialog = true;
      dialog->AddPaths({photos.string()});
      Settle(*dialog);
      ASSERT_EQ(dialog->StatusLine(), "30 of 30 photos to be tagged.");
      Click(dialog, ui::geotagids::kWritePositions);
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kCameraZone)->IsEnabled()) << "no field changes while writing";
      Click(dialog, ui::geotagids::kCancelWrite);
      Settle(*dialog);
      const std::string status = dialog->StatusLine();
      EXPECT_EQ(status.rfind("Cancelled: ", 0), 0u) << status;
      int tagged = 0;
      for (int row = 0; row < kPhotos; ++row) {
        const std::string outcome = dialog->Cell(row, 5);
        const std::string now = quillon::testing::ReadAll(photos / dialog->Cell(row, 0));
        if (outcome == "tagged") {
          ++tagged;
          EXPECT_NE(now, before[row]) << row;
        } else {
          EXPECT_EQ(outcome, "left as it was (cancelled)") << row;
          EXPECT_EQ(now, before[row]) << row;
        }
      }
      EXPECT_LT(tagged, kPhotos) << "the cancel came too late to stop anything";
      EXPECT_EQ(status, "Cancelled: " + std::to_string(tagged) + " tagged, " + std::to_string(kPhotos - tagged) +
                            " left alone, 0 failed.");
      EXPECT_TRUE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled()) << "the rest can still be written";
      Click(dialog, wxID_CLOSE);
    });
    SendMenu(app.window, ids::kGeotagPhotos);
  });
  EXPECT_TRUE(sawDialog);
  EXPECT_LT(app.router.State().geotaggedPhotos.size(), static_cast<std::size_t>(kPhotos));
}

TEST(GeotagDialogTest, WithoutARawLogItSaysSoAndWritesNothing) {
  TimeZoneScope pcZone("UTC");
  RunFolder folder(true, false);
  const fs::path photo = CameraPhoto(fs::path(folder.Path()), "lake.jpg", "2008:03:07 14:05:14");
  const std::string before = quillon::testing::ReadAll(photo);
  RecordedMessageBoxes boxes;
  App app;
  bool sawDialog = false;
  std::size_t boxesAtStart = 0;
  WhileModal(app.window, [&] {
    // The start without a log says so once; the command adds no box of its own.
    boxesAtStart = boxes.shown.size();
    app.window.CallAfter([&] {
      auto* dialog = dynamic_cast<ui::GeotagDialog*>(FindDialog("Geotag Photos"));
      ASSERT_NE(dialog, nullptr);
      sawDialog = true;
      EXPECT_EQ(dialog->TrackText(),
                "No raw log is loaded: open one with \"Open Raw Log...\" first. Nothing can be tagged.");
      // A drop on the table adds the photo like the buttons do.
      auto* drop = dynamic_cast<wxFileDropTarget*>(dialog->FindWindow(ui::geotagids::kTable)->GetDropTarget());
      ASSERT_NE(drop, nullptr);
      wxArrayString files;
      files.Add(wxString::FromUTF8(photo.string()));
      EXPECT_TRUE(drop->OnDropFiles(5, 5, files));
      Settle(*dialog);
      ASSERT_EQ(dialog->Rows(), 1);
      EXPECT_EQ(dialog->Cell(0, 5), "outside the track");
      EXPECT_FALSE(dialog->FindWindow(ui::geotagids::kWritePositions)->IsEnabled());
      SaveScreenshot(dialog, "geotag_dialog_no_log");
      Click(dialog, wxID_CLOSE);
    });
    SendMenu(app.window, ids::kGeotagPhotos);
  });
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(boxes.shown.size(), boxesAtStart) << Describe(boxes.shown);
  EXPECT_EQ(quillon::testing::ReadAll(photo), before);
  EXPECT_TRUE(app.router.State().geotaggedPhotos.empty());
}

}  // namespace
}  // namespace quillon::uitest
