// The map under the Track View's track on the real window: tiles from a
// loopback tile server named in the user's sources file, and a server that
// is down. The user's folders are temporary ones of the test (XDG_CONFIG_HOME
// and XDG_CACHE_HOME, or APPDATA and LOCALAPPDATA on Windows), so nothing of
// a real user is touched.

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/mstream.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "core/ControlIds.h"
#include "maps/MapChoice.h"
#include "maps/TileMath.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "tests/maps/TileServer.h"
#include "tests/support/Environment.h"
#include "tests/support/TimeZoneScope.h"
#include "tests/support/UserFolderVariables.h"
#include "tests/ui/RoutedApp.h"
#include "tests/ui/UiTestSupport.h"
#include "trackview/TrackModel.h"
#include "ui/MainWindow.h"
#include "ui/TrackViewWindow.h"

namespace quillon::uitest {
namespace {

using Clock = std::chrono::steady_clock;

// Tiles of even zooms are one colour, of odd zooms another, so that a
// picture tells which zoom it shows.
const wxColour kEvenZoomTile(210, 40, 210);
const wxColour kOddZoomTile(40, 200, 200);
const wxColour kPlainField(244, 246, 243);

// The user's folders of one test: configuration and cache in the run folder.
class UserFolders {
 public:
  explicit UserFolders(const std::string& base)
      : config_(testing::SavedEnvironment(testing::kConfigHomeVariable)),
        cache_(testing::SavedEnvironment(testing::kCacheHomeVariable)) {
    const std::string program = std::string("/") + testing::kProgramFolderName;
    std::filesystem::create_directories(base + "/config" + program);
    std::filesystem::create_directories(base + "/cache");
    testing::SetEnvironment(testing::kConfigHomeVariable, (base + "/config").c_str());
    testing::SetEnvironment(testing::kCacheHomeVariable, (base + "/cache").c_str());
    sourcesFile_ = base + "/config" + program + "/map-sources.ini";
  }
  ~UserFolders() {
    testing::RestoreEnvironment(testing::kConfigHomeVariable, config_);
    testing::RestoreEnvironment(testing::kCacheHomeVariable, cache_);
  }
  void WriteSources(const std::string& text) const { std::ofstream(sourcesFile_, std::ios::binary) << text; }

 private:
  std::optional<std::string> config_;
  std::optional<std::string> cache_;
  std::string sourcesFile_;
};

// A tile of one colour with its z/x/y written on it, as PNG or JPEG.
std::string TileImage(const TileId& tile, wxBitmapType type = wxBITMAP_TYPE_PNG) {
  wxBitmap bitmap(256, 256, 24);
  {
    wxMemoryDC dc(bitmap);
    const wxColour& colour = tile.z % 2 == 0 ? kEvenZoomTile : kOddZoomTile;
    dc.SetBackground(wxBrush(colour));
    dc.Clear();
    dc.SetTextForeground(*wxBLACK);
    dc.DrawText(wxString::Format("%d/%d/%d", tile.z, tile.x, tile.y), 10, 10);
  }
  wxMemoryOutputStream out;
  EXPECT_TRUE(bitmap.ConvertToImage().SaveFile(out, type)) << "no encoder for image type " << type;
  std::string bytes(out.GetSize(), '\0');
  out.CopyTo(bytes.data(), bytes.size());
  return bytes;
}

// Every tile from zoom `low` to `high` around the track, with a margin wider
// than the Track View's map at each of these zooms.
int ForTilesAround(const TrackModel& model, int low, int high, const std::function<void(const TileId&)>& each) {
  int served = 0;
  for (int z = low; z <= high; ++z) {
    double west = 1e9, east = -1e9, north = 1e9, south = -1e9;
    for (const TrackFix& fix : model.Fixes()) {
      const TilePoint p = LonLatToTile(fix.position.longitude / 1e6, fix.position.latitude / 1e6, z);
      west = std::min(west, p.x), east = std::max(east, p.x);
      north = std::min(north, p.y), south = std::max(south, p.y);
    }
    constexpr int kMargin = 7;
    const int n = 1 << z;
    for (int y = std::max(0, static_cast<int>(north) - kMargin); y <= std::min(n - 1, static_cast<int>(south) + kMargin); ++y) {
      for (int x = static_cast<int>(west) - kMargin; x <= static_cast<int>(east) + kMargin; ++x) {
        each(TileId{z, (x % n + n) % n, y});
        ++served;
      }
    }
  }
  return served;
}

int ServeTilesAround(testing::TileServer& server, const TrackModel& model, int low, int high) {
  return ForTilesAround(model, low, high, [&](const TileId& tile) {
    server.Serve("/" + std::to_string(tile.z) + "/" + std::to_string(tile.x) + "/" + std::to_string(tile.y) + ".png",
                 {TileImage(tile), 200, {{"Content-Type", "image/png"}, {"Cache-Control", "max-age=3600"}}});
  });
}

// An MBTiles file of JPEG tiles around the track, rows counted from the south.
void WriteJpegMapFile(const std::string& path, const TrackModel& model, int low, int high) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const char* tables =
      "CREATE TABLE metadata (name TEXT, value TEXT);"
      "CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB);"
      "INSERT INTO metadata VALUES ('name', 'Lake photos'), ('format', 'jpg'), ('attribution', 'Test map file');"
      "BEGIN;";
  ASSERT_EQ(sqlite3_exec(db, tables, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  const std::string zooms = "INSERT INTO metadata VALUES ('minzoom', '" + std::to_string(low) + "'), ('maxzoom', '" +
                            std::to_string(high) + "')";
  ASSERT_EQ(sqlite3_exec(db, zooms.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_stmt* insert = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr), SQLITE_OK);
  ForTilesAround(model, low, high, [&](const TileId& tile) {
    const std::string jpeg = TileImage(tile, wxBITMAP_TYPE_JPEG);
    sqlite3_bind_int(insert, 1, tile.z);
    sqlite3_bind_int(insert, 2, tile.x);
    sqlite3_bind_int(insert, 3, (1 << tile.z) - 1 - tile.y);
    sqlite3_bind_blob(insert, 4, jpeg.data(), static_cast<int>(jpeg.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_reset(insert);
  });
  sqlite3_finalize(insert);
  EXPECT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

// Lets events run until `done` says so or `seconds` pass; whether it did.
bool PumpUntil(const std::function<bool()>& done, int seconds) {
  const auto until = Clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (Clock::now() > until) return false;
    Pump(20);
  }
  return true;
}

// The share of the map's pixels near `colour`, in the picture as saved.
double ShareOf(const wxImage& image, const PixelRect& map, const wxColour& colour) {
  int near = 0, all = 0;
  for (int y = static_cast<int>(map.top) + 2; y < static_cast<int>(map.top + map.height) - 1; ++y) {
    for (int x = static_cast<int>(map.left) + 2; x < static_cast<int>(map.left + map.width) - 1; ++x) {
      const int distance = std::abs(image.GetRed(x, y) - colour.Red()) +
                           std::abs(image.GetGreen(x, y) - colour.Green()) +
                           std::abs(image.GetBlue(x, y) - colour.Blue());
      ++all;
      if (distance < 30) ++near;
    }
  }
  return all == 0 ? 0.0 : static_cast<double>(near) / all;
}

std::size_t IndexOf(const std::vector<std::string>& labels, const std::string& label) {
  return static_cast<std::size_t>(std::find(labels.begin(), labels.end(), label) - labels.begin());
}

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using App = RoutedApp;

// The map the Track View remembers, as if chosen in an earlier run. Windows
// keeps it in the registry, which outlives a test run.
void RememberMap(const std::string& label) {
  const std::unique_ptr<KeyStoreKey> key = MakeUserKeyStore()->CreateKey(kTrackViewKey);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->SetString(kMapValue, label));
}

void OpenTrackView(App& app, const std::function<void(ui::TrackViewWindow&)>& whileOpen) {
  bool sawView = false;
  WhileModal(app.window, [&] {
    ASSERT_GT(app.router.State().fixList.Size(), 0u);
    app.window.CallAfter([&] {
      auto* view = dynamic_cast<ui::TrackViewWindow*>(FindDialog("Track View - Demo Software"));
      ASSERT_NE(view, nullptr);
      sawView = true;
      whileOpen(*view);
      if (view->IsModal()) view->EndModal(wxID_CLOSE);
    });
    wxCommandEvent menu(wxEVT_MENU, ids::kTrackView);
    app.window.HandleWindowEvent(menu);
  });
  EXPECT_TRUE(sawView);
}

TEST(TrackViewMapTest, DrawsTilesOfTheChosenSourceUnderTheTrackAndRemembersIt) {
  testing::TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, true);
  UserFolders user(folder.Path());
  ASSERT_NO_FATAL_FAILURE(RememberMap("None"));
  testing::TileServer server;
  user.WriteSources("[Test tiles]\nurl = " + server.Origin() +
                    "/{z}/{x}/{y}.png\nmin-zoom = 8\nmax-zoom = 16\nattribution = Test tiles, Quillon\n");
  RecordedMessageBoxes boxes;
  App app;
  OpenTrackView(app, [&](ui::TrackViewWindow& view) {
    // The raw log is read once the Main Window shows.
    const TrackModel model = TrackModel::Build(app.router.State().fixList, MapProjection::kWebMercator);
    ASSERT_FALSE(model.Empty());
    ASSERT_GT(ServeTilesAround(server, model, 8, 16), 0);
    const std::vector<std::string> labels = view.MapLabels();
    ASSERT_EQ(labels.size(), 4u);
    EXPECT_EQ(labels[0], "None");
    EXPECT_EQ(labels[1], "OpenStreetMap");
    EXPECT_EQ(labels[2], "Test tiles");
    EXPECT_EQ(labels[3], kOpenMapFileLabel);
    EXPECT_EQ(view.ChosenMap(), 0u) << "no map until one is chosen";
    EXPECT_EQ(view.Map(), nullptr);

    view.ChooseMap(2);
    ASSERT_NE(view.Map(), nullptr);
    view.Canvas().Refresh();
    const bool drawn = PumpUntil([&] { return view.Map()->Complete(); }, 60);
    ASSERT_TRUE(drawn) << "tiles asked for: " << server.Total() << ", status \"" << view.MapStatus() << "\"";
    EXPECT_EQ(view.MapStatus(), "");
    const int zoom = view.Map()->LastPlan().zoom;
    EXPECT_GE(zoom, 8);
    EXPECT_LE(zoom, 16);

    // The picture as saved: the map is the tiles of the planned zoom, with
    // the track over them.
    const wxImage picture = view.Canvas().RenderPicture();
    const PixelRect map = view.Canvas().Layout().map;
    const wxColour& own = zoom % 2 == 0 ? kEvenZoomTile : kOddZoomTile;
    const wxColour& other = zoom % 2 == 0 ? kOddZoomTile : kEvenZoomTile;
    EXPECT_GT(ShareOf(picture, map, own), 0.5) << "zoom " << zoom;
    EXPECT_LT(ShareOf(picture, map, other), 0.02) << "zoom " << zoom;
    EXPECT_LT(ShareOf(picture, map, kPlainField), 0.02);
    // The track is drawn over the tiles: around its middle fix the picture is
    // not the tile's colour.
    const TrackFix& middle = model.Fixes()[model.Fixes().size() / 2];
    const PixelPoint there = view.Canvas().View().ToPixel(middle.x, middle.y);
    const PixelRect dot{there.x - 1, there.y - 1, 2, 2};
    EXPECT_LT(ShareOf(picture, dot, own), 0.5) << "at " << there.x << "," << there.y;
    Pump(200);
    SaveScreenshot(&view, "track_view_map");

    // Redrawing from tiles in memory, the canvas about 1600 x 1000.
    view.SetSize(wxSize(1600, 1100));
    Pump(300);
    ASSERT_TRUE(PumpUntil([&] { return view.Map()->Complete(); }, 60));
    // Out to where the tiles are drawn near their own size, so that many of them fill the view.
    const PixelRect wide = view.Canvas().Layout().map;
    const wxPoint centre(static_cast<int>(wide.left + wide.width / 2), static_cast<int>(wide.top + wide.height / 2));
    for (int step = 0; step < 8 && view.Map()->LastPlan().slots.size() < 24; ++step) {
      view.Canvas().ZoomAt(centre, -2);
      ASSERT_TRUE(PumpUntil([&] { return view.Map()->Complete(); }, 60)) << "zoom " << view.Map()->LastPlan().zoom;
    }
    const wxSize size = view.Canvas().GetClientSize();
    constexpr int kRounds = 10;
    auto start = Clock::now();
    for (int i = 0; i < kRounds; ++i) view.Canvas().RenderPicture();
    const double withMap = MillisecondsSince(start) / kRounds;
    const std::size_t tiles = view.Map()->LastPlan().slots.size();
    const int zoomShown = view.Map()->LastPlan().zoom;
    view.ChooseMap(0);
    start = Clock::now();
    for (int i = 0; i < kRounds; ++i) view.Canvas().RenderPicture();
    const double plain = MillisecondsSince(start) / kRounds;
    std::printf("Track View redraw at %dx%d: %.1f ms with %zu map tiles of zoom %d, %.1f ms plain field\n", size.x,
                size.y, withMap, tiles, zoomShown, plain);
    view.ChooseMap(2);
  });
  EXPECT_TRUE(boxes.shown.empty()) << Describe(boxes.shown);
  EXPECT_GT(server.Total(), 0);

  // Chosen last, so remembered for the next Track View.
  const std::unique_ptr<KeyStoreKey> key = MakeUserKeyStore()->CreateKey(kTrackViewKey);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->QueryValue(kMapValue, 256), std::optional<std::string>(std::string("Test tiles") + '\0'));
  OpenTrackView(app, [&](ui::TrackViewWindow& view) {
    EXPECT_EQ(view.ChosenMap(), 2u);
    EXPECT_NE(view.Map(), nullptr);
  });
}

// A map file of JPEG tiles (which the Windows build decodes too) is drawn
// under the track; a file that is no map file is refused with a message and
// leaves the map shown as it was.
TEST(TrackViewMapTest, DrawsAMapFileOfJpegTilesAndRefusesAFileThatIsNone) {
  testing::TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, true);
  UserFolders user(folder.Path());
  ASSERT_NO_FATAL_FAILURE(RememberMap("None"));
  const std::string mapFile = folder.Path() + "/lake.mbtiles";
  const std::string notAMap = folder.Path() + "/notes.mbtiles";
  std::ofstream(notAMap, std::ios::binary) << "Lap around the lake, 12 March\n";
  RecordedMessageBoxes boxes;
  App app;
  OpenTrackView(app, [&](ui::TrackViewWindow& view) {
    const TrackModel model = TrackModel::Build(app.router.State().fixList, MapProjection::kWebMercator);
    ASSERT_FALSE(model.Empty());
    WriteJpegMapFile(mapFile, model, 8, 16);
    ASSERT_TRUE(view.OpenMapFile(mapFile));
    ASSERT_NE(view.Map(), nullptr);
    view.Canvas().Refresh();
    ASSERT_TRUE(PumpUntil([&] { return view.Map()->Complete(); }, 60)) << "status \"" << view.MapStatus() << "\"";
    const int zoom = view.Map()->LastPlan().zoom;
    const wxImage picture = view.Canvas().RenderPicture();
    const PixelRect map = view.Canvas().Layout().map;
    EXPECT_GT(ShareOf(picture, map, zoom % 2 == 0 ? kEvenZoomTile : kOddZoomTile), 0.5) << "zoom " << zoom;
    EXPECT_LT(ShareOf(picture, map, kPlainField), 0.02);
    const std::size_t chosen = view.ChosenMap();
    EXPECT_EQ(view.MapLabels()[chosen], "Lake photos (file)");

    EXPECT_TRUE(boxes.shown.empty()) << Describe(boxes.shown);
    EXPECT_FALSE(view.OpenMapFile(notAMap));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Open Map File");
    EXPECT_NE(boxes.shown[0].text.find("notes.mbtiles"), std::string::npos) << boxes.shown[0].text;
    EXPECT_EQ(view.ChosenMap(), chosen);
    EXPECT_NE(view.Map(), nullptr);
  });
}

TEST(TrackViewMapTest, WithTheServerDownTheWindowOpensAtOnceOnThePlainFieldAndSaysSo) {
  testing::TimeZoneScope zone("Asia/Taipei");
  RunFolder folder(true, true);
  UserFolders user(folder.Path());
  user.WriteSources("[Dead tiles]\nurl = http://127.0.0.1:" + std::to_string(testing::ClosedLoopbackPort()) +
                    "/{z}/{x}/{y}.png\n");
  ASSERT_NO_FATAL_FAILURE(RememberMap("Dead tiles"));
  RecordedMessageBoxes boxes;
  App app;
  Clock::time_point closing;
  OpenTrackView(app, [&](ui::TrackViewWindow& view) {
    const std::vector<std::string> labels = view.MapLabels();
    ASSERT_EQ(IndexOf(labels, "Dead tiles"), 2u);
    EXPECT_EQ(view.ChosenMap(), 2u) << "the remembered source";
    ASSERT_NE(view.Map(), nullptr);
    view.Canvas().Refresh();
    const bool told = PumpUntil([&] { return !view.MapStatus().empty(); }, 60);
    ASSERT_TRUE(told);
    EXPECT_EQ(view.MapStatus().rfind("Map: ", 0), 0u) << view.MapStatus();
    EXPECT_NE(view.MapStatus().find("offline"), std::string::npos) << view.MapStatus();
    const wxImage picture = view.Canvas().RenderPicture();
    EXPECT_GT(ShareOf(picture, view.Canvas().Layout().map, kPlainField), 0.5);
    SaveScreenshot(&view, "track_view_map_offline");
    closing = Clock::now();
  });
  // Closing cancels what is in flight without waiting for the network.
  EXPECT_LT(MillisecondsSince(closing), 10000.0);
  EXPECT_TRUE(boxes.shown.empty()) << Describe(boxes.shown);
}

}  // namespace
}  // namespace quillon::uitest
