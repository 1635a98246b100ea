// Web Mercator tile numbers, the zoom for a scale and the tiles of a view.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>

#include "maps/TileMath.h"

namespace quillon {
namespace {

// Reference positions worked out by hand from the Web Mercator formulas.
TEST(TileMathTest, LonLatToTileAtKnownPlaces) {
  struct Case {
    const char* place;
    double longitude, latitude;
    int z;
    double x, y;
  } const cases[] = {
      {"null island", 0.0, 0.0, 0, 0.5, 0.5},
      {"north-west corner", -180.0, kMercatorMaxLatitude, 1, 0.0, 0.0},
      {"south-east corner", 180.0, -kMercatorMaxLatitude, 1, 2.0, 2.0},
      {"Berlin", 13.405, 52.52, 10, 550.1298, 335.8261},
      {"New York", -74.006, 40.7128, 12, 1205.9762, 1540.0173},
      {"Sydney", 151.2093, -33.8688, 8, 235.5266, 153.6236},
      {"north pole held at the edge", 0.0, 90.0, 4, 8.0, 0.0},
      {"south pole held at the edge", 0.0, -90.0, 4, 8.0, 16.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.place);
    const TilePoint point = LonLatToTile(c.longitude, c.latitude, c.z);
    EXPECT_NEAR(point.x, c.x, 1e-4);
    EXPECT_NEAR(point.y, c.y, 1e-4);
  }
}

TEST(TileMathTest, TileToLonLatReversesLonLatToTile) {
  for (const double latitude : {-85.0, -47.3, 0.0, 25.03, 60.0, 85.0}) {
    for (const double longitude : {-179.9, -74.0, 0.0, 121.5, 179.9}) {
      for (const int z : {0, 7, 19}) {
        const TilePoint point = LonLatToTile(longitude, latitude, z);
        const LonLat back = TileToLonLat(point.x, point.y, z);
        EXPECT_NEAR(back.longitude, longitude, 1e-9) << latitude << " " << longitude << " z" << z;
        EXPECT_NEAR(back.latitude, latitude, 1e-9) << latitude << " " << longitude << " z" << z;
      }
    }
  }
}

TEST(TileMathTest, ZoomForScale) {
  // 156543.03 m per pixel is zoom 0 of 256-pixel tiles at the equator.
  const double zoomZero = 2 * 3.141592653589793 * 6378137.0 / 256;
  struct Case {
    double metresPerPixel, latitude;
    int tileSize, minZoom, maxZoom, expected;
  } const cases[] = {
      {zoomZero, 0.0, 256, 0, 19, 0},
      {zoomZero / 131072, 0.0, 256, 0, 19, 17},
      {zoomZero / 131072 * 1.3, 0.0, 256, 0, 19, 17},  // nearer 17 than 16 in ratio
      {zoomZero / 131072 * 1.5, 0.0, 256, 0, 19, 16},
      {zoomZero / 131072, 0.0, 512, 0, 19, 16},  // a 512 tile covers twice the ground
      {zoomZero / 131072, 60.0, 256, 0, 19, 16},  // cos 60° halves the ground per pixel
      {0.001, 0.0, 256, 0, 19, 19},
      {1e9, 0.0, 256, 3, 19, 3},
      {0.0, 0.0, 256, 2, 19, 2},
      {std::numeric_limits<double>::quiet_NaN(), 0.0, 256, 1, 19, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ZoomForScale(c.metresPerPixel, c.latitude, c.tileSize, c.minZoom, c.maxZoom), c.expected)
        << c.metresPerPixel << " m/px at " << c.latitude << "°, tile " << c.tileSize;
  }
}

std::set<TileId> AsSet(const std::vector<TileId>& tiles) { return {tiles.begin(), tiles.end()}; }

std::set<TileId> Block(int z, std::initializer_list<int> xs, std::initializer_list<int> ys) {
  std::set<TileId> tiles;
  for (const int x : xs) {
    for (const int y : ys) tiles.insert({z, x, y});
  }
  return tiles;
}

TEST(TileMathTest, TilesCoveringAViewAndItsRing) {
  // At zoom 3 a tile is 45° wide; rows 3 and 4 meet at the equator.
  struct Case {
    const char* view;
    LonLatRect rect;
    int z;
    std::set<TileId> inside;
    std::set<TileId> all;
  } const cases[] = {
      {"within one tile", {10, 10, 20, 20}, 3, Block(3, {4}, {3}), Block(3, {3, 4, 5}, {2, 3, 4})},
      {"over a tile edge", {40, -10, 50, 10}, 3, Block(3, {4, 5}, {3, 4}), Block(3, {3, 4, 5, 6}, {2, 3, 4, 5})},
      {"over the antimeridian", {170, 10, 190, 20}, 3, Block(3, {7, 0}, {3}), Block(3, {6, 7, 0, 1}, {2, 3, 4})},
      {"west of -180", {-190, 10, -170, 20}, 3, Block(3, {7, 0}, {3}), Block(3, {6, 7, 0, 1}, {2, 3, 4})},
      {"at the top of the world", {10, 84, 20, 85}, 3, Block(3, {4}, {0}), Block(3, {3, 4, 5}, {0, 1})},
      {"at the bottom of the world", {10, -89, 20, -84}, 3, Block(3, {4}, {7}), Block(3, {3, 4, 5}, {6, 7})},
      {"zoom 0", {10, 10, 20, 20}, 0, Block(0, {0}, {0}), Block(0, {0}, {0})},
      {"wider than the world", {-400, -10, 400, 10}, 1, Block(1, {0, 1}, {0, 1}), Block(1, {0, 1}, {0, 1})},
      {"a point", {12, 12, 12, 12}, 3, Block(3, {4}, {3}), Block(3, {3, 4, 5}, {2, 3, 4})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    const std::vector<TileId> tiles = TilesCovering(c.rect, c.z);
    EXPECT_EQ(tiles.size(), AsSet(tiles).size()) << "a tile came twice";
    EXPECT_EQ(AsSet(tiles), c.all);
    ASSERT_GE(tiles.size(), c.inside.size());
    const std::vector<TileId> first(tiles.begin(), tiles.begin() + static_cast<long>(c.inside.size()));
    EXPECT_EQ(AsSet(first), c.inside) << "the view's own tiles come first";
  }
}

TEST(TileMathTest, TilesCoveringRefusesNonsense) {
  EXPECT_TRUE(TilesCovering({20, 10, 10, 20}, 3).empty());
  EXPECT_TRUE(TilesCovering({10, 20, 20, 10}, 3).empty());
  EXPECT_TRUE(TilesCovering({std::nan(""), 10, 20, 20}, 3).empty());
  EXPECT_TRUE(TilesCovering({10, 10, 20, 20}, -1).empty());
  EXPECT_TRUE(TilesCovering({10, 10, 20, 20}, 31).empty());
  EXPECT_EQ(TilesCovering({10, 10, 20, 20}, 3, 0).size(), 1u);
}

}  // namespace
}  // namespace quillon
