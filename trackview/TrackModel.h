#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "logdata/CheckedFix.h"
#include "core/FixList.h"

namespace quillon {

// How positions become flat world coordinates. Both keep north up and make
// one world unit the same ground distance east and north near the middle of
// the track.
enum class MapProjection {
  kLatitudeCorrected,  // equirectangular, longitudes shrunk by cos(middle latitude)
  kWebMercator,        // the projection of web map tiles
};

struct WorldRect {
  double left = 0.0;
  double bottom = 0.0;
  double right = 0.0;
  double top = 0.0;
  double Width() const { return right - left; }
  double Height() const { return top - bottom; }
};

// One drawable fix of the track.
struct TrackFix {
  std::uint32_t record = 0;  // index in the selection the model was built from
  GeoPoint position;
  double x = 0.0;  // world coordinates: x east, y north
  double y = 0.0;
  double speedKmh = 0.0;
  double altitude = 0.0;
  std::int64_t utcSeconds = 0;
  std::int32_t localOffsetSeconds = 0;  // local clock minus UTC at this fix
  bool hasTime = false;
  std::uint16_t tag = 0;
  bool untagged = false;
  bool runStart = false;  // first fix of a run of the same tag
};

// The fixes of a selection that have a real position, projected. Longitudes
// are unwrapped along the track, so a track over the 180th meridian stays in
// one piece instead of jumping across the whole map.
class TrackModel {
 public:
  static TrackModel Build(const FixList& selection, MapProjection projection = MapProjection::kLatitudeCorrected);

  const std::vector<TrackFix>& Fixes() const { return fixes_; }
  bool Empty() const { return fixes_.empty(); }
  std::size_t LeftOut() const { return leftOut_; }
  const WorldRect& Bounds() const { return bounds_; }
  // Ground metres per world unit near the middle of the track.
  double MetresPerUnit() const { return metresPerUnit_; }
  // Where a position (degrees, south and west negative) lies in this
  // model's world, its longitude taken round to the side nearest the track.
  // Only for a model that is not empty.
  void Project(double latitude, double longitude, double& x, double& y) const;

 private:
  std::vector<TrackFix> fixes_;
  std::size_t leftOut_ = 0;
  WorldRect bounds_;
  double metresPerUnit_ = 0.0;
  MapProjection projection_ = MapProjection::kLatitudeCorrected;
  // cos(middle latitude): how much the latitude-corrected map shrinks longitudes.
  double shrink_ = 1.0;
};

// Metres along the equator per degree of longitude.
inline constexpr double kMetresPerDegree = 40075016.686 / 360.0;

}  // namespace quillon
