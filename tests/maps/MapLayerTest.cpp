// The Track View's tile layer without a window: which tiles a view needs at
// which zoom and where each goes, the stand-ins drawn while a tile is
// missing, the tiles kept in memory and how the chosen map is remembered.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "maps/MapChoice.h"
#include "maps/MapLayer.h"
#include "maps/TileMemory.h"

namespace quillon {
namespace {

// A view whose world's north-west corner (x -180, y 180) lies at pixel
// (cornerX, cornerY), with tiles of zoom z exactly `tilePixels` wide.
MapView ViewAt(int z, double tilePixels, double cornerX, double cornerY, double left, double top, double width,
               double height) {
  const double scale = tilePixels * std::ldexp(1.0, z) / 360.0;
  return {left, top, width, height, cornerX + 180.0 * scale, cornerY + 180.0 * scale, scale};
}

std::string Describe(const TileId& t) {
  return std::to_string(t.z) + "/" + std::to_string(t.x) + "/" + std::to_string(t.y);
}

TEST(MapLayerTest, ZoomIsTheOneNearestOneTilePixelPerScreenPixel) {
  struct Case {
    double tilePixels;  // size of a zoom-12 tile on the screen
    int tileSize, minZoom, maxZoom, expected;
  };
  const Case cases[] = {
      {256, 256, 0, 19, 12},    {256 * 1.35, 256, 0, 19, 12}, {256 * 1.45, 256, 0, 19, 13},
      {256 / 1.35, 256, 0, 19, 12}, {256 / 1.45, 256, 0, 19, 11}, {512, 512, 0, 19, 12},
      {512, 256, 0, 19, 13},    {256 * 64, 256, 0, 15, 15},   {256 / 64.0, 256, 10, 19, 10},
  };
  for (const Case& c : cases) {
    const MapView view = ViewAt(12, c.tilePixels, 0, 0, 0, 0, 800, 600);
    EXPECT_EQ(ZoomForView(view, c.tileSize, c.minZoom, c.maxZoom), c.expected)
        << "tile of " << c.tilePixels << " px, tile size " << c.tileSize << ", zooms " << c.minZoom << "-"
        << c.maxZoom;
  }
}

TEST(MapLayerTest, PlansTheViewsTilesInPlaceAndThenOneRing) {
  struct Slot {
    int x, y;
    double left, top;
  };
  struct Case {
    const char* what;
    MapView view;
    std::vector<Slot> slots;
    std::size_t wanted;
  };
  // Zoom 2: a world of 4 x 4 tiles of 256 pixels.
  const Case cases[] = {
      {"part of the world, corner at 0,0", ViewAt(2, 256, 0, 0, 300, 100, 300, 200),
       {{1, 0, 256, 0}, {2, 0, 512, 0}, {1, 1, 256, 256}, {2, 1, 512, 256}}, 4 + 8},
      {"world moved by 10,20", ViewAt(2, 256, 10, 20, 300, 300, 200, 300),
       {{1, 1, 266, 276}, {1, 2, 266, 532}}, 2 + 10},
      {"across the antimeridian, west of the world's edge", ViewAt(2, 256, 0, 0, -100, 600, 200, 100),
       {{3, 2, -256, 512}, {0, 2, 0, 512}}, 2 + 10},
      {"north of the world only the top row", ViewAt(2, 256, 0, 0, 10, -400, 100, 500),
       {{0, 0, 0, 0}}, 1 + 5},
  };
  for (const Case& c : cases) {
    const MapPlan plan = PlanMap(c.view, 256, 0, 19);
    SCOPED_TRACE(c.what);
    ASSERT_EQ(plan.zoom, 2);
    ASSERT_EQ(plan.slots.size(), c.slots.size());
    for (std::size_t i = 0; i < c.slots.size(); ++i) {
      const TileSlot& got = plan.slots[i];
      EXPECT_EQ(got.tile, (TileId{2, c.slots[i].x, c.slots[i].y})) << "slot " << i << ": " << Describe(got.tile);
      EXPECT_NEAR(got.left, c.slots[i].left, 1e-6) << "slot " << i;
      EXPECT_NEAR(got.top, c.slots[i].top, 1e-6) << "slot " << i;
      EXPECT_NEAR(got.size, 256.0, 1e-6);
    }
    ASSERT_EQ(plan.wanted.size(), c.wanted);
    // The view's own tiles first, each tile once.
    for (std::size_t i = 0; i < c.slots.size(); ++i) EXPECT_EQ(plan.wanted[i], plan.slots[i].tile);
    EXPECT_EQ(std::set<TileId>(plan.wanted.begin(), plan.wanted.end()).size(), plan.wanted.size());
  }
}

TEST(MapLayerTest, TheWholeWorldWrapsIntoEachTileOnceAndAHugeViewIsNotPlanned) {
  const MapPlan world = PlanMap(ViewAt(2, 256, 0, 0, 0, 0, 1024, 1024), 256, 0, 19);
  EXPECT_EQ(world.slots.size(), 16u);
  EXPECT_EQ(world.wanted.size(), 16u);
  // Zoomed far out on a source that starts at zoom 10: thousands of tiles.
  const MapPlan tooMany = PlanMap(ViewAt(3, 256, 0, 0, 0, 0, 1600, 1000), 256, 10, 19);
  EXPECT_EQ(tooMany.zoom, -1);
  EXPECT_TRUE(tooMany.slots.empty());
  EXPECT_TRUE(tooMany.wanted.empty());
}

TEST(MapLayerTest, AMissingTileIsStoodInForByANeighbouringZoom) {
  const TileSlot slot{{5, 10, 13}, 100.0, 50.0, 256.0};
  struct Case {
    const char* what;
    std::set<TileId> held;
    int minZoom, maxZoom;
    std::vector<TilePiece> expected;
  };
  const Case cases[] = {
      {"the tile itself", {{5, 10, 13}, {4, 5, 6}}, 0, 19, {{{5, 10, 13}, 0, 0, 1, 100, 50, 256}}},
      {"its parent's lower left quarter", {{4, 5, 6}}, 0, 19, {{{4, 5, 6}, 0, 0.5, 0.5, 100, 50, 256}}},
      {"two zooms up, a sixteenth", {{3, 2, 3}}, 0, 19, {{{3, 2, 3}, 0.5, 0.25, 0.25, 100, 50, 256}}},
      {"the nearest ancestor only", {{3, 2, 3}, {4, 5, 6}}, 0, 19, {{{4, 5, 6}, 0, 0.5, 0.5, 100, 50, 256}}},
      {"finer tiles in their quarters",
       {{6, 20, 26}, {6, 21, 27}},
       0,
       19,
       {{{6, 20, 26}, 0, 0, 1, 100, 50, 128}, {{6, 21, 27}, 0, 0, 1, 228, 178, 128}}},
      {"parent under the finer tile it has",
       {{4, 5, 6}, {6, 21, 26}},
       0,
       19,
       {{{4, 5, 6}, 0, 0.5, 0.5, 100, 50, 256}, {{6, 21, 26}, 0, 0, 1, 228, 50, 128}}},
      {"nothing held", {{7, 40, 52}, {5, 11, 13}}, 0, 19, {}},
      {"no parent below the lowest zoom", {{4, 5, 6}}, 5, 19, {}},
      {"no finer tile above the highest zoom", {{6, 20, 26}}, 0, 5, {}},
  };
  for (const Case& c : cases) {
    const auto pieces = PiecesFor(slot, [&](const TileId& t) { return c.held.contains(t); }, c.minZoom, c.maxZoom);
    SCOPED_TRACE(c.what);
    ASSERT_EQ(pieces.size(), c.expected.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
      const TilePiece& got = pieces[i];
      const TilePiece& want = c.expected[i];
      EXPECT_EQ(got.picture, want.picture) << Describe(got.picture);
      EXPECT_DOUBLE_EQ(got.sourceLeft, want.sourceLeft);
      EXPECT_DOUBLE_EQ(got.sourceTop, want.sourceTop);
      EXPECT_DOUBLE_EQ(got.sourceSize, want.sourceSize);
      EXPECT_DOUBLE_EQ(got.left, want.left);
      EXPECT_DOUBLE_EQ(got.top, want.top);
      EXPECT_DOUBLE_EQ(got.size, want.size);
    }
  }
  // Stand-ins come from at most kStandInLevels zooms up.
  const TileSlot deep{{12, 1000, 2000}, 0, 0, 256};
  const TileId far{12 - kStandInLevels - 1, 1000 >> (kStandInLevels + 1), 2000 >> (kStandInLevels + 1)};
  EXPECT_TRUE(PiecesFor(deep, [&](const TileId& t) { return t == far; }, 0, 19).empty());
  const TileId near{12 - kStandInLevels, 1000 >> kStandInLevels, 2000 >> kStandInLevels};
  EXPECT_EQ(PiecesFor(deep, [&](const TileId& t) { return t == near; }, 0, 19).size(), 1u);
}

TEST(MapLayerTest, MemoryDecodesOnFirstUseAndForgetsTheLeastRecentlyUsed) {
  int decodes = 0;
  TileMemory<std::string> memory(3, [&](const std::string& bytes) -> std::optional<std::string> {
    ++decodes;
    if (bytes == "broken") return std::nullopt;
    return "picture of " + bytes;
  });
  const TileId a{1, 0, 0}, b{1, 1, 0}, c{1, 0, 1}, d{1, 1, 1};
  memory.Put(a, "a");
  memory.Put(b, "b");
  memory.Put(c, "broken");
  EXPECT_EQ(decodes, 0) << "nothing decoded before it is drawn";
  ASSERT_NE(memory.Get(a), nullptr);
  EXPECT_EQ(*memory.Get(a), "picture of a");
  EXPECT_EQ(decodes, 1) << "decoded once";
  EXPECT_EQ(memory.Get(c), nullptr);
  EXPECT_EQ(memory.Get(c), nullptr);
  EXPECT_EQ(decodes, 2) << "bytes that are no picture are not tried again";
  EXPECT_TRUE(memory.Has(c));
  // b is the least recently used now.
  memory.Put(d, "d");
  EXPECT_EQ(memory.Size(), 3u);
  EXPECT_FALSE(memory.Has(b));
  EXPECT_TRUE(memory.Has(a));
  memory.Put(a, "a2");
  EXPECT_EQ(*memory.Get(a), "picture of a2") << "new bytes, new picture";
}

TEST(MapLayerTest, TheChosenMapIsRememberedByNameOrFile) {
  std::vector<MapChoice> choices = ChoicesFromSources(BuiltInMapSources());
  ASSERT_EQ(choices.size(), 2u);
  EXPECT_FALSE(choices[0].DrawsMap());
  EXPECT_TRUE(choices[1].DrawsMap());
  choices.push_back(FileChoice("/maps/taipei.mbtiles", "", "© someone", -1, -1));
  EXPECT_EQ(choices[2].label, "taipei.mbtiles (file)");
  EXPECT_EQ(choices[2].source.minZoom, 0);
  EXPECT_EQ(choices[2].source.maxZoom, kMaxTileZoom);
  EXPECT_TRUE(choices[2].DrawsMap());
  for (std::size_t i = 0; i < choices.size(); ++i) {
    EXPECT_EQ(FindRemembered(choices, RememberedText(choices[i])), i) << choices[i].label;
  }
  EXPECT_EQ(RememberedFile(RememberedText(choices[2])), std::optional<std::string>("/maps/taipei.mbtiles"));
  EXPECT_EQ(RememberedFile("OpenStreetMap"), std::nullopt);
  EXPECT_EQ(FindRemembered(choices, "A source since removed"), 0u);
  EXPECT_EQ(FindRemembered(choices, "file:/maps/gone.mbtiles"), 0u);
}

}  // namespace
}  // namespace quillon
