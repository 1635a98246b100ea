#include "maps/TileMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <set>

namespace quillon {
namespace {

constexpr double kEarthCircumference = 2.0 * std::numbers::pi * 6378137.0;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

}  // namespace

TilePoint LonLatToTile(double longitude, double latitude, int z) {
  const double n = std::ldexp(1.0, z);
  const double phi = Radians(std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude));
  const double x = (longitude + 180.0) / 360.0 * n;
  const double y = (1.0 - std::asinh(std::tan(phi)) / std::numbers::pi) / 2.0 * n;
  return {x, std::clamp(y, 0.0, n)};
}

LonLat TileToLonLat(double x, double y, int z) {
  const double n = std::ldexp(1.0, z);
  const double longitude = x / n * 360.0 - 180.0;
  const double latitude = std::atan(std::sinh(std::numbers::pi * (1.0 - 2.0 * y / n))) * 180.0 / std::numbers::pi;
  return {longitude, latitude};
}

int ZoomForScale(double metresPerPixel, double latitude, int tileSize, int minZoom, int maxZoom) {
  if (!(metresPerPixel > 0.0) || !std::isfinite(metresPerPixel)) return minZoom;
  const double cosine = std::cos(Radians(std::clamp(latitude, -kMercatorMaxLatitude, kMercatorMaxLatitude)));
  const double zoom = std::log2(kEarthCircumference * cosine / (tileSize * metresPerPixel));
  if (!std::isfinite(zoom)) return zoom > 0 ? maxZoom : minZoom;
  return static_cast<int>(std::clamp(std::round(zoom), static_cast<double>(minZoom), static_cast<double>(maxZoom)));
}

std::vector<TileId> TilesCovering(const LonLatRect& view, int z, int ring) {
  std::vector<TileId> tiles;
  if (z < 0 || z > 30 || ring < 0 || !std::isfinite(view.west) || !std::isfinite(view.east) ||
      !(view.east >= view.west) || !(view.north >= view.south)) {
    return tiles;
  }
  // West is brought into [-180, 180) with east moved alike, so that column
  // numbers stay small before they are wrapped.
  double west = view.west;
  double east = view.east;
  if (east - west >= 360.0) {
    west = -180.0;
    east = 180.0;
  } else {
    const double turns = std::floor((west + 180.0) / 360.0);
    west -= turns * 360.0;
    east -= turns * 360.0;
  }
  const std::int64_t n = std::int64_t{1} << z;
  const TilePoint northWest = LonLatToTile(west, view.north, z);
  const TilePoint southEast = LonLatToTile(east, view.south, z);
  // A view wider than the world needs each column once.
  std::int64_t left = static_cast<std::int64_t>(std::floor(northWest.x));
  std::int64_t right = static_cast<std::int64_t>(std::ceil(southEast.x)) - 1;
  right = std::max(right, left);
  if (right - left + 1 >= n) right = left + n - 1;
  const std::int64_t top = std::clamp<std::int64_t>(static_cast<std::int64_t>(std::floor(northWest.y)), 0, n - 1);
  std::int64_t bottom = static_cast<std::int64_t>(std::ceil(southEast.y)) - 1;
  bottom = std::clamp<std::int64_t>(bottom, top, n - 1);

  std::set<TileId> seen;
  const auto add = [&](std::int64_t x, std::int64_t y) {
    if (y < 0 || y >= n) return;
    const TileId tile{z, static_cast<int>(((x % n) + n) % n), static_cast<int>(y)};
    if (seen.insert(tile).second) tiles.push_back(tile);
  };
  for (std::int64_t y = top; y <= bottom; ++y) {
    for (std::int64_t x = left; x <= right; ++x) add(x, y);
  }
  for (std::int64_t y = top - ring; y <= bottom + ring; ++y) {
    for (std::int64_t x = left - ring; x <= right + ring; ++x) add(x, y);
  }
  return tiles;
}

}  // namespace quillon
