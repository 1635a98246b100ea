#include "maps/MapLayer.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace quillon {

namespace {

// World units of one tile's side at zoom z: the grid is 360 units across.
double TileUnits(int z) { return 360.0 / std::ldexp(1.0, z); }

}  // namespace

int ZoomForView(const MapView& view, int tileSize, int minZoom, int maxZoom) {
  if (!(view.scale > 0.0) || tileSize <= 0) return minZoom;
  // A tile at zoom z spans scale * 360 / 2^z pixels; that should be tileSize.
  const double exact = std::log2(view.scale * 360.0 / tileSize);
  const int nearest = static_cast<int>(std::lround(std::clamp(exact, -1.0, kMaxTileZoom + 1.0)));
  return std::clamp(nearest, minZoom, std::min(maxZoom, kMaxTileZoom));
}

MapPlan PlanMap(const MapView& view, int tileSize, int minZoom, int maxZoom) {
  MapPlan plan;
  if (view.width <= 0 || view.height <= 0 || !(view.scale > 0.0) || minZoom > maxZoom) return plan;
  const int z = ZoomForView(view, tileSize, minZoom, maxZoom);
  const double units = TileUnits(z);
  const long long n = 1LL << z;
  // The view's world edges, then its tile columns and rows.
  const double westX = (view.left - view.originX) / view.scale;
  const double eastX = (view.left + view.width - view.originX) / view.scale;
  const double northY = (view.originY - view.top) / view.scale;
  const double southY = (view.originY - view.top - view.height) / view.scale;
  const long long firstColumn = static_cast<long long>(std::floor((westX + 180.0) / units));
  const long long lastColumn = static_cast<long long>(std::ceil((eastX + 180.0) / units)) - 1;
  const long long firstRow = std::max(0LL, static_cast<long long>(std::floor((180.0 - northY) / units)));
  const long long lastRow = std::min(n - 1, static_cast<long long>(std::ceil((180.0 - southY) / units)) - 1);
  if (lastColumn < firstColumn || lastRow < firstRow) return plan;
  if (static_cast<double>(lastColumn - firstColumn + 1) * static_cast<double>(lastRow - firstRow + 1) >
      static_cast<double>(kMaxPlannedTiles)) {
    return plan;
  }
  plan.zoom = z;
  const double size = units * view.scale;
  auto wrapped = [n](long long column) { return static_cast<int>(((column % n) + n) % n); };
  std::set<TileId> taken;
  for (long long row = firstRow; row <= lastRow; ++row) {
    for (long long column = firstColumn; column <= lastColumn; ++column) {
      TileSlot slot;
      slot.tile = {z, wrapped(column), static_cast<int>(row)};
      slot.left = view.originX + (static_cast<double>(column) * units - 180.0) * view.scale;
      slot.top = view.originY - (180.0 - static_cast<double>(row) * units) * view.scale;
      slot.size = size;
      plan.slots.push_back(slot);
      if (taken.insert(slot.tile).second) plan.wanted.push_back(slot.tile);
    }
  }
  for (long long row = std::max(0LL, firstRow - 1); row <= std::min(n - 1, lastRow + 1); ++row) {
    for (long long column = firstColumn - 1; column <= lastColumn + 1; ++column) {
      const TileId tile{z, wrapped(column), static_cast<int>(row)};
      if (taken.insert(tile).second) plan.wanted.push_back(tile);
    }
  }
  return plan;
}

std::vector<TilePiece> PiecesFor(const TileSlot& slot, const std::function<bool(const TileId&)>& held, int minZoom,
                                 int maxZoom) {
  const TileId& tile = slot.tile;
  if (held(tile)) return {{tile, 0.0, 0.0, 1.0, slot.left, slot.top, slot.size}};
  std::vector<TilePiece> pieces;
  for (int up = 1; up <= kStandInLevels && tile.z - up >= std::max(0, minZoom); ++up) {
    const TileId parent{tile.z - up, tile.x >> up, tile.y >> up};
    if (!held(parent)) continue;
    const double share = std::ldexp(1.0, -up);
    const int mask = (1 << up) - 1;
    pieces.push_back({parent, (tile.x & mask) * share, (tile.y & mask) * share, share, slot.left, slot.top,
                      slot.size});
    break;
  }
  if (tile.z + 1 <= std::min(maxZoom, kMaxTileZoom)) {
    const double half = slot.size / 2.0;
    for (int dy = 0; dy < 2; ++dy) {
      for (int dx = 0; dx < 2; ++dx) {
        const TileId child{tile.z + 1, tile.x * 2 + dx, tile.y * 2 + dy};
        if (held(child)) pieces.push_back({child, 0.0, 0.0, 1.0, slot.left + dx * half, slot.top + dy * half, half});
      }
    }
  }
  return pieces;
}

}  // namespace quillon
