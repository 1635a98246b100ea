#pragma once

#include <compare>
#include <vector>

namespace quillon {

// A tile of the Web Mercator grid: 2^z columns from 180° W eastwards and
// 2^z rows from 85.0511° N southwards.
struct TileId {
  int z = 0;
  int x = 0;
  int y = 0;
  auto operator<=>(const TileId&) const = default;
};

// The latitude where the square Web Mercator world ends.
inline constexpr double kMercatorMaxLatitude = 85.0511287798066;

// A position in tile units at one zoom: x and y from 0 to 2^z across the
// world. Latitudes beyond the grid are held at its edge.
struct TilePoint {
  double x = 0.0;
  double y = 0.0;
};
TilePoint LonLatToTile(double longitude, double latitude, int z);

struct LonLat {
  double longitude = 0.0;
  double latitude = 0.0;
};
LonLat TileToLonLat(double x, double y, int z);

// The zoom whose tiles of `tileSize` pixels, drawn one tile pixel to one
// screen pixel, come nearest to `metresPerPixel` at `latitude` (nearest in
// ratio, so no tile is stretched or shrunk by more than about 1.41), within
// [minZoom, maxZoom].
int ZoomForScale(double metresPerPixel, double latitude, int tileSize, int minZoom, int maxZoom);

// A view in degrees. West may be below -180 and east above 180 when the view
// crosses the antimeridian (east stays above west); latitudes beyond the
// grid are held at its edge.
struct LonLatRect {
  double west = 0.0;
  double south = 0.0;
  double east = 0.0;
  double north = 0.0;
};

// The tiles at zoom z that cover `view`, followed by a ring of `ring` tiles
// around them: each tile once, columns wrapped around the world, rows held
// within it. The view's own tiles come first, row by row, so that a caller
// that fetches in order gets what is on the screen before the ring.
std::vector<TileId> TilesCovering(const LonLatRect& view, int z, int ring = 1);

}  // namespace quillon
