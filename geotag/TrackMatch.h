#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "core/FixList.h"

namespace quillon {

// One fix as the matching sees it: its UTC time and position in degrees
// (south and west negative), its altitude in metres, speed in km/h and
// course in degrees true where the fix has them.
struct TrackPoint {
  std::int64_t utcSeconds = 0;
  double latitude = 0.0;
  double longitude = 0.0;
  std::optional<double> altitude;
  std::optional<double> speedKmh;
  std::optional<double> course;
};

// The fixes of `fixes` that have a valid position and time, in time order
// (fixes of the same second keep the log's order).
std::vector<TrackPoint> TrackPointsOf(const FixList& fixes);

struct MatchLimits {
  double maxInterpolationSeconds = 1800;
  double maxExtrapolationSeconds = 1800;
};

// Where the track was at `utcSeconds`: between the fixes just before and
// just after, when they are at most maxInterpolationSeconds apart, each value
// linearly interpolated (longitude and course the short way round; altitude,
// speed and course only where both fixes have them); otherwise the nearer fix
// when it is at most maxExtrapolationSeconds away. Nothing when the time is
// outside the track by more than that, or the track is empty.
std::optional<TrackPoint> MatchPosition(const std::vector<TrackPoint>& track, double utcSeconds,
                                        const MatchLimits& limits);

}  // namespace quillon
