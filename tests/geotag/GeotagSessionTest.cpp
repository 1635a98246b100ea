// The Geotag Photos dialog's behaviour without a window: the dry-run table
// as the fields change, and writing that is cancelled halfway.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <exiv2/exiv2.hpp>

#include "geotag/GeotagSession.h"
#include "tests/geotag/CameraPhoto.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using testing::CameraPhoto;
using testing::ReadAll;

// The fixes of tests/data/export_three_fixes.txt.
std::vector<TrackPoint> Track() {
  auto point = [](std::int64_t t, double latMinutes, double lonMinutes) {
    TrackPoint p;
    p.utcSeconds = t;
    p.latitude = 25 + latMinutes / 60;
    p.longitude = -(121 + lonMinutes / 60);
    return p;
  };
  constexpr std::int64_t kStart = 1204898709;  // 2008-03-07 14:05:09 UTC
  return {point(kStart, 3.1234, 30.5678), point(kStart + 5, 3.1260, 30.5700), point(kStart + 10, 3.1380, 30.5760)};
}

// Gives the photo a position of its own, as a camera with GPS would.
void GivePosition(const fs::path& photo) {
  Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(photo.string());
  image->readMetadata();
  image->exifData()["Exif.GPSInfo.GPSLatitudeRef"] = "N";
  image->exifData()["Exif.GPSInfo.GPSLatitude"] = "48/1 8/1 0/1";
  image->exifData()["Exif.GPSInfo.GPSLongitudeRef"] = "E";
  image->exifData()["Exif.GPSInfo.GPSLongitude"] = "11/1 34/1 0/1";
  image->writeMetadata();
}

// "name | UTC time | outcome" of every row, once the dry runs are done.
std::vector<std::string> Table(GeotagSession& session) {
  session.WaitUntilIdle();
  std::vector<std::string> lines;
  for (const GeotagRow& row : session.Snapshot().rows) {
    const GeotagRowTexts texts = RowTexts(row);
    lines.push_back(texts[0] + " | " + texts[2] + " | " + texts[5]);
  }
  return lines;
}

TEST(GeotagSessionTest, DryRunTableFollowsTheZoneTheOffsetAndReplace) {
  testing::TimeZoneScope zone("UTC");
  testing::TempFolder folder;
  // a: a camera set to Taipei time that writes no offset; b: one that
  // states its offset, so no zone applies to it; c: positioned already;
  // d: no time taken. The text file is no photo and is not listed.
  CameraPhoto(folder.Path(), "a.jpg", "2008:03:07 22:05:14", "");
  CameraPhoto(folder.Path(), "b.png", "2008:03:07 14:05:14", "+00:00");
  GivePosition(CameraPhoto(folder.Path(), "c.tif", "2008:03:07 22:05:15", ""));
  CameraPhoto(folder.Path(), "d.jpg", "", "");
  std::ofstream(folder.Path() / "notes.txt") << "not a photo";

  GeotagSession session(Track(), true);
  EXPECT_EQ(session.TrackText(), "Track: 3 fixes, 2008-03-07 14:05:09 to 2008-03-07 14:05:19 UTC");
  EXPECT_EQ(session.AddPaths({folder.Path().string()}), 4u);
  EXPECT_EQ(session.AddPaths({(folder.Path() / "b.png").string()}), 0u) << "a photo is listed once";

  struct Step {
    const char* what;
    const char* zone;
    const char* offset;
    bool replace;
    std::vector<std::string> table;
    const char* status;
  };
  const Step steps[] = {
      {"the PC's zone (UTC)", "", "", false,
       {"a.jpg | 2008-03-07 22:05:14.500 | outside the track", "b.png | 2008-03-07 14:05:14.500 | to be tagged",
        "c.tif | 2008-03-07 22:05:15.500 | already has a position", "d.jpg |  | no time taken"},
       "1 of 4 photos to be tagged."},
      {"the camera's zone", "+08:00", "", false,
       {"a.jpg | 2008-03-07 14:05:14.500 | to be tagged", "b.png | 2008-03-07 14:05:14.500 | to be tagged",
        "c.tif | 2008-03-07 14:05:15.500 | already has a position", "d.jpg |  | no time taken"},
       "2 of 4 photos to be tagged."},
      {"replacing positions", "+08:00", "", true,
       {"a.jpg | 2008-03-07 14:05:14.500 | to be tagged", "b.png | 2008-03-07 14:05:14.500 | to be tagged",
        "c.tif | 2008-03-07 14:05:15.500 | to be tagged", "d.jpg |  | no time taken"},
       "3 of 4 photos to be tagged."},
      {"a clock offset", "+08:00", "-1:05", true,
       {"a.jpg | 2008-03-07 14:04:09.500 | to be tagged", "b.png | 2008-03-07 14:04:09.500 | to be tagged",
        "c.tif | 2008-03-07 14:04:10.500 | to be tagged", "d.jpg |  | no time taken"},
       "3 of 4 photos to be tagged."},
      {"an offset that is no offset", "+08:00", "5 minutes", true,
       {"a.jpg |  | ", "b.png |  | ", "c.tif |  | ", "d.jpg |  | "},
       "The clock offset \"5 minutes\" is not [+-]SS, [+-]MM:SS or [+-]HH:MM:SS."},
      {"a zone that is no zone", "Mars", "", true,
       {"a.jpg |  | ", "b.png |  | ", "c.tif |  | ", "d.jpg |  | "},
       "The camera's time zone \"Mars\" is not one of: empty (this PC's zone), UTC, +HH:MM, -HH:MM or a time zone name."},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    session.SetCameraZone(step.zone);
    session.SetClockOffset(step.offset);
    session.SetReplacePositions(step.replace);
    EXPECT_EQ(Table(session), step.table);
    const GeotagSnapshot snapshot = session.Snapshot();
    EXPECT_EQ(StatusText(snapshot), step.status);
    EXPECT_EQ(snapshot.canWrite, snapshot.fieldProblem.empty());
  }
  EXPECT_FALSE(session.StartWriting()) << "not with a field that is no zone";
  EXPECT_FALSE(session.HasWritten());

  // Without a track nothing is written, whatever the photos say.
  GeotagSession noLog({}, false);
  EXPECT_EQ(noLog.TrackText(), "No raw log is loaded: open one with \"Open Raw Log...\" first. Nothing can be tagged.");
  noLog.AddPaths({(folder.Path() / "b.png").string()});
  EXPECT_EQ(Table(noLog), std::vector<std::string>{"b.png | 2008-03-07 14:05:14.500 | outside the track"});
  EXPECT_FALSE(noLog.Snapshot().canWrite);
  EXPECT_FALSE(noLog.StartWriting());
  EXPECT_EQ(GeotagSession({}, true).TrackText(),
            "The chosen range of the raw log has no position fix. Nothing can be tagged.");
}

TEST(GeotagSessionTest, CancelLeavesThePhotosNotReachedAsTheyWereAndWritingGoesOnLater) {
  testing::TempFolder folder;
  constexpr int kPhotos = 12;
  std::vector<std::string> before;
  for (int i = 0; i < kPhotos; ++i) {
    const char* extension[] = {".jpg", ".png", ".tif"};
    const std::string name = "p" + std::to_string(10 + i) + extension[i % 3];
    before.push_back(ReadAll(CameraPhoto(folder.Path(), name, "2008:03:07 14:05:1" + std::to_string(i % 10))));
  }
  GeotagSession session(Track(), true);
  ASSERT_EQ(session.AddPaths({folder.Path().string()}), static_cast<std::size_t>(kPhotos));
  session.WaitUntilIdle();
  ASSERT_TRUE(session.Snapshot().canWrite);

  // The listener runs on the worker after each photo: cancelling there
  // stops the write before the third photo.
  session.SetListener([&session] {
    if (session.Snapshot().progress == 2) session.Cancel();
  });
  ASSERT_TRUE(session.StartWriting());
  EXPECT_FALSE(session.SetCameraZone("UTC")) << "the fields stay while writing";
  EXPECT_EQ(session.AddPaths({folder.Path().string()}), 0u);
  session.WaitUntilIdle();
  session.SetListener({});

  GeotagSnapshot snapshot = session.Snapshot();
  EXPECT_EQ(snapshot.phase, GeotagPhase::kWritten);
  EXPECT_TRUE(snapshot.cancelled);
  EXPECT_EQ(StatusText(snapshot), "Cancelled: 2 tagged, 10 left alone, 0 failed.");
  ASSERT_EQ(snapshot.rows.size(), static_cast<std::size_t>(kPhotos));
  for (int i = 0; i < kPhotos; ++i) {
    const GeotagRow& row = snapshot.rows[i];
    SCOPED_TRACE(row.path);
    const std::string now = ReadAll(row.path);
    if (i < 2) {
      EXPECT_EQ(row.stage, GeotagRowStage::kWritten);
      EXPECT_EQ(RowTexts(row)[5], "tagged");
      EXPECT_NE(now, before[i]);
      Exiv2::Image::AutoPtr image = Exiv2::ImageFactory::open(row.path);
      image->readMetadata();
      EXPECT_NE(image->exifData().findKey(Exiv2::ExifKey("Exif.GPSInfo.GPSLatitude")), image->exifData().end());
    } else {
      EXPECT_EQ(row.stage, GeotagRowStage::kNotReached);
      EXPECT_EQ(RowTexts(row)[5], "left as it was (cancelled)");
      EXPECT_EQ(now, before[i]) << "a photo the write did not reach is byte for byte as it was";
    }
  }
  std::vector<GeotaggedPhoto> placed = session.PlacedPhotos();
  ASSERT_EQ(placed.size(), 2u);
  EXPECT_EQ(placed[0].path, snapshot.rows[0].path);
  // Taken at 14:05:10.5, three tenths of the way to the second fix.
  EXPECT_NEAR(placed[0].latitude, 25 + (3.1234 + 0.3 * 0.0026) / 60, 1e-7);
  EXPECT_NEAR(placed[0].longitude, -(121 + (30.5678 + 0.3 * 0.0022) / 60), 1e-7);
  EXPECT_DOUBLE_EQ(placed[0].utcSeconds, 1204898710.5);

  // Writing again takes on the rest; the two tagged before have a position now.
  ASSERT_TRUE(session.Snapshot().canWrite);
  ASSERT_TRUE(session.StartWriting());
  session.WaitUntilIdle();
  snapshot = session.Snapshot();
  EXPECT_FALSE(snapshot.cancelled);
  EXPECT_EQ(StatusText(snapshot), "Done: 10 tagged, 2 left alone, 0 failed.");
  EXPECT_FALSE(snapshot.canWrite);
  EXPECT_EQ(session.PlacedPhotos().size(), static_cast<std::size_t>(kPhotos));
}

}  // namespace
}  // namespace quillon
