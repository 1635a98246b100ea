#include "geotag/TrackMatch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

#include "logdata/CheckedFix.h"

namespace quillon {

namespace {

constexpr double kKmhPerKnot = 1.852;

std::optional<double> Course(std::string_view text) {
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !(value >= 0.0 && value <= 360.0)) {
    return std::nullopt;
  }
  return value == 360.0 ? 0.0 : value;
}

double Lerp(double from, double to, double share) { return from + (to - from) * share; }

// From `from` towards `to` the short way round a circle of `turn` units,
// the result in [-turn/2, turn/2) for longitudes, [0, turn) for courses.
double LerpRound(double from, double to, double share, double turn, double low) {
  double step = std::fmod(to - from, turn);
  if (step > turn / 2) step -= turn;
  if (step < -turn / 2) step += turn;
  double value = std::fmod(from + step * share - low, turn);
  if (value < 0) value += turn;
  return value + low;
}

std::optional<double> LerpBoth(const std::optional<double>& from, const std::optional<double>& to, double share) {
  if (!from || !to) return std::nullopt;
  return Lerp(*from, *to, share);
}

}  // namespace

std::vector<TrackPoint> TrackPointsOf(const FixList& fixes) {
  std::vector<TrackPoint> points;
  points.reserve(fixes.Size());
  for (std::size_t i = 0; i < fixes.Size(); ++i) {
    const FixRecord& record = fixes[i];
    const std::optional<GeoPoint> position = CheckedPosition(record);
    const std::optional<std::int64_t> time = CheckedUtcSeconds(record);
    if (!position || !time) continue;
    TrackPoint point;
    point.utcSeconds = *time;
    point.latitude = position->latitude / 1e6;
    point.longitude = position->longitude / 1e6;
    if (std::isfinite(record.altitude)) point.altitude = record.altitude;
    if (std::optional<double> knots = RmcSpeedKnots(fixes, record)) point.speedKmh = *knots * kKmhPerKnot;
    point.course = Course(record.courseText.View());
    points.push_back(point);
  }
  std::stable_sort(points.begin(), points.end(),
                   [](const TrackPoint& a, const TrackPoint& b) { return a.utcSeconds < b.utcSeconds; });
  return points;
}

std::optional<TrackPoint> MatchPosition(const std::vector<TrackPoint>& track, double utcSeconds,
                                        const MatchLimits& limits) {
  if (track.empty() || !std::isfinite(utcSeconds)) return std::nullopt;
  // The first fix at or after the time.
  const auto after = std::lower_bound(track.begin(), track.end(), utcSeconds,
                                      [](const TrackPoint& p, double t) { return static_cast<double>(p.utcSeconds) < t; });
  if (after != track.end() && static_cast<double>(after->utcSeconds) == utcSeconds) return *after;
  if (after != track.begin() && after != track.end()) {
    const TrackPoint& a = *(after - 1);
    const TrackPoint& b = *after;
    const double gap = static_cast<double>(b.utcSeconds - a.utcSeconds);
    if (gap <= limits.maxInterpolationSeconds) {
      const double share = (utcSeconds - static_cast<double>(a.utcSeconds)) / gap;
      TrackPoint point;
      point.utcSeconds = static_cast<std::int64_t>(std::floor(utcSeconds));
      point.latitude = Lerp(a.latitude, b.latitude, share);
      point.longitude = LerpRound(a.longitude, b.longitude, share, 360.0, -180.0);
      point.altitude = LerpBoth(a.altitude, b.altitude, share);
      point.speedKmh = LerpBoth(a.speedKmh, b.speedKmh, share);
      if (a.course && b.course) point.course = LerpRound(*a.course, *b.course, share, 360.0, 0.0);
      return point;
    }
  }
  // The nearer of the two neighbours (the one that exists at either end).
  const TrackPoint* nearest = nullptr;
  double distance = 0.0;
  for (auto it : {after, after == track.begin() ? track.end() : after - 1}) {
    if (it == track.end()) continue;
    const double d = std::fabs(static_cast<double>(it->utcSeconds) - utcSeconds);
    if (!nearest || d < distance) {
      nearest = &*it;
      distance = d;
    }
  }
  if (!nearest || distance > limits.maxExtrapolationSeconds) return std::nullopt;
  return *nearest;
}

}  // namespace quillon
