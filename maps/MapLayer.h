#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "maps/MapSource.h"
#include "maps/TileMath.h"

namespace quillon {

// The part of a Web Mercator world a map shows and how it lies in pixels.
// World units are those of the Track View's Web Mercator model: x is the
// longitude in degrees (unwrapped, so it may pass ±180), y the Mercator
// ordinate in degrees (180 at the grid's north edge). A world point (x, y)
// is drawn at (originX + x * scale, originY - y * scale).
struct MapView {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
  double originX = 0.0;
  double originY = 0.0;
  double scale = 1.0;  // pixels per world unit
};

// One tile of the grid on the screen: `tile` has its column wrapped into the
// world, while left/top place the copy that the view shows.
struct TileSlot {
  TileId tile;
  double left = 0.0;
  double top = 0.0;
  double size = 0.0;
};

struct MapPlan {
  int zoom = -1;  // -1: nothing to draw
  std::vector<TileSlot> slots;
  // What to fetch, most wanted first: the view's tiles, then one ring.
  std::vector<TileId> wanted;
};

// A view needing more tiles than this is not drawn (a zoom far below the
// source's lowest would otherwise ask for thousands).
inline constexpr std::size_t kMaxPlannedTiles = 300;

// The zoom whose tiles of `tileSize` pixels come nearest (in ratio) to one
// tile pixel per screen pixel, within [minZoom, maxZoom].
int ZoomForView(const MapView& view, int tileSize, int minZoom, int maxZoom);

// The tiles that cover the view at ZoomForView, each with its place.
MapPlan PlanMap(const MapView& view, int tileSize, int minZoom, int maxZoom);

// Part of one tile's picture drawn into a square of the screen. The source
// square is in fractions of the picture (0..1).
struct TilePiece {
  TileId picture;
  double sourceLeft = 0.0;
  double sourceTop = 0.0;
  double sourceSize = 1.0;
  double left = 0.0;
  double top = 0.0;
  double size = 0.0;
};

// Coarser zooms searched for a stand-in while a tile is missing.
inline constexpr int kStandInLevels = 6;

// What to draw for a slot, back to front, from the pictures `held` says are
// in memory: the tile itself; or else the nearest coarser tile that holds
// its area (up to kStandInLevels up, not below minZoom), scaled up, with
// those of its four tiles of the next zoom that are held (not above
// maxZoom) over it. Nothing when none of them is held.
std::vector<TilePiece> PiecesFor(const TileSlot& slot, const std::function<bool(const TileId&)>& held, int minZoom,
                                 int maxZoom);

}  // namespace quillon
