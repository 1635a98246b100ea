// Projection, viewport and decimation of the Track View.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "tests/trackview/TrackViewTestSupport.h"
#include "trackview/TrackDecimation.h"
#include "trackview/TrackModel.h"
#include "trackview/Viewport.h"

namespace quillon {
namespace {

using testing::FixAt;

double WorldDistance(const TrackFix& a, const TrackFix& b) { return std::hypot(a.x - b.x, a.y - b.y); }

// A kilometre east and a kilometre north must be drawn the same length, and
// the model's metres per unit must give a kilometre back, at every latitude.
TEST(TrackProjectionTest, EastAndNorthKeepOneScale) {
  for (const MapProjection projection : {MapProjection::kLatitudeCorrected, MapProjection::kWebMercator}) {
    for (const double latitude : {0.0, 25.0, -47.0, 60.0, 78.0}) {
      SCOPED_TRACE(::testing::Message() << "projection " << static_cast<int>(projection) << " latitude " << latitude);
      const double kmDegrees = 1000.0 / kMetresPerDegree;
      const auto micro = [](double degrees) { return static_cast<std::int32_t>(std::lround(degrees * 1e6)); };
      FixList list;
      list.Append(FixAt(micro(latitude), micro(10.0)));
      list.Append(FixAt(micro(latitude), micro(10.0 + kmDegrees / std::cos(latitude * std::numbers::pi / 180.0))));
      list.Append(FixAt(micro(latitude + kmDegrees), micro(10.0)));
      const TrackModel model = TrackModel::Build(list, projection);
      ASSERT_EQ(model.Fixes().size(), 3u);
      const double east = WorldDistance(model.Fixes()[0], model.Fixes()[1]) * model.MetresPerUnit();
      const double north = WorldDistance(model.Fixes()[0], model.Fixes()[2]) * model.MetresPerUnit();
      EXPECT_NEAR(east, 1000.0, 5.0);
      EXPECT_NEAR(north, 1000.0, 5.0);
    }
  }
}

TEST(TrackProjectionTest, TrackOverTheAntimeridianStaysInOnePiece) {
  FixList list;
  for (const std::int32_t longitude : {179999000, 179999900, -180000000, -179999900, -179999000}) {
    list.Append(FixAt(-16000000, longitude));
  }
  FixRecord empty;
  list.Append(empty);
  const TrackModel model = TrackModel::Build(list);
  ASSERT_EQ(model.Fixes().size(), 5u);
  EXPECT_EQ(model.LeftOut(), 1u);
  for (std::size_t i = 1; i < 5; ++i) {
    EXPECT_GT(model.Fixes()[i].x, model.Fixes()[i - 1].x) << i;
  }
  EXPECT_LT(model.Bounds().Width(), 0.01);
}

TEST(ViewportTest, FitsZoomsAboutThePointerAndPans) {
  const WorldRect world{10.0, 20.0, 14.0, 21.0};
  const PixelRect rect{0.0, 0.0, 420.0, 320.0};
  Viewport view(world, rect, 10.0, 1000.0);
  // The wider side fills the rect less the margins; the centre is the centre.
  EXPECT_DOUBLE_EQ(view.PixelsPerUnit(), 100.0);
  PixelPoint centre = view.ToPixel(12.0, 20.5);
  EXPECT_DOUBLE_EQ(centre.x, 210.0);
  EXPECT_DOUBLE_EQ(centre.y, 160.0);
  EXPECT_DOUBLE_EQ(view.ToPixel(10.0, 21.0).x, 10.0);
  EXPECT_LT(view.ToPixel(10.0, 21.0).y, view.ToPixel(10.0, 20.0).y);  // north is up

  const PixelPoint pointer{37.0, 250.0};
  double x = 0.0;
  double y = 0.0;
  view.ToWorld(pointer, x, y);
  view.ZoomAbout(pointer, 8.0);
  EXPECT_NEAR(view.ToPixel(x, y).x, pointer.x, 1e-9);
  EXPECT_NEAR(view.ToPixel(x, y).y, pointer.y, 1e-9);
  EXPECT_DOUBLE_EQ(view.MetresPerPixel(), 1000.0 / 800.0);
  view.Pan(-15.0, 4.0);
  EXPECT_NEAR(view.ToPixel(x, y).x, pointer.x - 15.0, 1e-9);
  EXPECT_NEAR(view.ToPixel(x, y).y, pointer.y + 4.0, 1e-9);

  // A single point sits in the middle.
  Viewport single(WorldRect{5.0, 5.0, 5.0, 5.0}, rect, 10.0, 1000.0);
  EXPECT_DOUBLE_EQ(single.ToPixel(5.0, 5.0).x, 210.0);
}

TEST(ScaleBarTest, RoundLengthsThatFit) {
  struct Case {
    double metresPerPixel;
    double maxPixels;
    double metres;
    const char* label;
  };
  for (const Case& c : {Case{1.0, 120.0, 100.0, "100 m"}, Case{3.0, 120.0, 200.0, "200 m"},
                        Case{50.0, 120.0, 5000.0, "5 km"}, Case{0.1, 120.0, 10.0, "10 m"},
                        Case{1000.0, 100.0, 100000.0, "100 km"}, Case{9.0, 100.0, 500.0, "500 m"}}) {
    const ScaleBar bar = ChooseScaleBar(c.metresPerPixel, c.maxPixels);
    EXPECT_DOUBLE_EQ(bar.metres, c.metres) << c.label;
    EXPECT_EQ(bar.label, c.label);
    EXPECT_LE(bar.pixels, c.maxPixels);
    EXPECT_GT(bar.pixels, c.maxPixels / 5.0);
  }
}

unsigned Edges(const PixelPoint& p, const PixelRect& r) {
  return (p.x < r.left ? 1u : 0u) | (p.x > r.left + r.width ? 2u : 0u) | (p.y < r.top ? 4u : 0u) |
         (p.y > r.top + r.height ? 8u : 0u);
}

// A dense wiggly track with tag runs, drawn whole, zoomed in (most of it
// beyond the edges) and panned away: whatever is dropped must be either
// within a pixel of the kept fix before it, or on the far side of one edge
// together with both kept ends around it.
TEST(TrackDecimationTest, DropsOnlyWhatCannotBeSeen) {
  FixList list;
  for (int i = 0; i < 20000; ++i) {
    FixRecord r = FixAt(25000000 + i * 3 + static_cast<int>(2000 * std::sin(i / 300.0)),
                        121000000 + static_cast<int>(3000 * std::cos(i / 170.0)) + i);
    r.untagged = (i / 2500) % 2 == 0;
    r.tag = r.untagged ? kNoTag : static_cast<std::uint8_t>(i / 2500);
    list.Append(r);
  }
  const TrackModel model = TrackModel::Build(list);
  const PixelRect rect{0.0, 0.0, 400.0, 300.0};
  struct View {
    const char* name;
    double zoom;
    double panX;
    std::size_t mostKept;
  };
  for (const View& v : {View{"whole", 1.0, 0.0, 3000}, View{"zoomed", 40.0, 0.0, 4000},
                        View{"panned away", 1.0, 2000.0, 20}}) {
    SCOPED_TRACE(v.name);
    Viewport view(model.Bounds(), rect, 10.0, model.MetresPerUnit());
    view.ZoomAbout({200.0, 150.0}, v.zoom);
    view.Pan(v.panX, 0.0);
    const std::vector<std::uint32_t> kept = DecimateTrack(model, view);
    ASSERT_GE(kept.size(), 2u);
    EXPECT_LE(kept.size(), v.mostKept);
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_EQ(kept.back(), model.Fixes().size() - 1);
    std::vector<bool> isKept(model.Fixes().size(), false);
    for (std::uint32_t k : kept) isKept[k] = true;
    for (std::size_t i = 0; i < model.Fixes().size(); ++i) {
      if (model.Fixes()[i].runStart) {
        EXPECT_TRUE(isKept[i]) << "run start " << i;
      }
    }
    const auto pixel = [&](std::uint32_t i) { return view.ToPixel(model.Fixes()[i].x, model.Fixes()[i].y); };
    for (std::size_t k = 1; k < kept.size(); ++k) {
      const std::uint32_t a = kept[k - 1];
      const std::uint32_t b = kept[k];
      ASSERT_LT(a, b);
      if (b == a + 1) continue;
      unsigned shared = Edges(pixel(a), rect) & Edges(pixel(b), rect);
      bool allNear = true;
      for (std::uint32_t i = a + 1; i < b; ++i) {
        shared &= Edges(pixel(i), rect);
        const PixelPoint p = pixel(i);
        allNear = allNear && Edges(p, rect) == 0 && std::hypot(p.x - pixel(a).x, p.y - pixel(a).y) < 1.0;
      }
      EXPECT_TRUE(allNear || shared != 0) << "fixes " << a << " to " << b;
    }
  }
}

}  // namespace
}  // namespace quillon
