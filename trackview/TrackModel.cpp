#include "trackview/TrackModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quillon {

namespace {

constexpr double kMicro = 1e6;
// Web Mercator stops where the map becomes square.
constexpr double kMercatorLatitudeLimit = 85.05112878;

double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }

double MercatorY(double latitude) {
  const double phi = Radians(std::clamp(latitude, -kMercatorLatitudeLimit, kMercatorLatitudeLimit));
  return std::log(std::tan(std::numbers::pi / 4.0 + phi / 2.0)) * 180.0 / std::numbers::pi;
}

}  // namespace

TrackModel TrackModel::Build(const FixList& selection, MapProjection projection) {
  TrackModel model;
  model.fixes_.reserve(selection.Size());
  double lowLatitude = 90.0;
  double highLatitude = -90.0;
  double unwrapped = 0.0;
  for (std::size_t i = 0; i < selection.Size(); ++i) {
    const FixRecord& r = selection[i];
    const auto position = CheckedPosition(r);
    if (!position) {
      ++model.leftOut_;
      continue;
    }
    TrackFix fix;
    fix.record = static_cast<std::uint32_t>(i);
    fix.position = *position;
    const double longitude = position->longitude / kMicro;
    if (model.fixes_.empty()) {
      unwrapped = longitude;
    } else {
      double step = longitude - model.fixes_.back().position.longitude / kMicro;
      step -= 360.0 * std::round(step / 360.0);
      unwrapped += step;
    }
    fix.x = unwrapped;
    fix.y = position->latitude / kMicro;
    lowLatitude = std::min(lowLatitude, fix.y);
    highLatitude = std::max(highLatitude, fix.y);
    const std::optional<double> knots = RmcSpeedKnots(selection, r);
    fix.speedKmh = (knots ? *knots : static_cast<double>(r.speedKnots)) * 1.852;
    fix.altitude = std::isfinite(r.altitude) ? r.altitude : 0.0;
    const auto utc = CheckedUtcSeconds(r);
    const auto local = CheckedLocalSeconds(r);
    fix.hasTime = utc.has_value();
    fix.utcSeconds = utc.value_or(0);
    if (utc && local) fix.localOffsetSeconds = static_cast<std::int32_t>(*local - *utc);
    fix.tag = r.tag;
    fix.untagged = r.untagged;
    const TrackFix* previous = model.fixes_.empty() ? nullptr : &model.fixes_.back();
    fix.runStart = !previous || previous->tag != fix.tag || previous->untagged != fix.untagged;
    model.fixes_.push_back(fix);
  }
  if (model.fixes_.empty()) return model;

  const double middle = (lowLatitude + highLatitude) / 2.0;
  const double shrink = std::cos(Radians(middle));
  for (TrackFix& fix : model.fixes_) {
    if (projection == MapProjection::kWebMercator) {
      fix.y = MercatorY(fix.y);
    } else {
      fix.x *= shrink;
    }
  }
  model.projection_ = projection;
  model.shrink_ = shrink;
  model.metresPerUnit_ = kMetresPerDegree * (projection == MapProjection::kWebMercator ? shrink : 1.0);
  WorldRect& b = model.bounds_;
  b = {model.fixes_[0].x, model.fixes_[0].y, model.fixes_[0].x, model.fixes_[0].y};
  for (const TrackFix& fix : model.fixes_) {
    b.left = std::min(b.left, fix.x);
    b.right = std::max(b.right, fix.x);
    b.bottom = std::min(b.bottom, fix.y);
    b.top = std::max(b.top, fix.y);
  }
  return model;
}

void TrackModel::Project(double latitude, double longitude, double& x, double& y) const {
  // The track's longitudes are unwrapped from its first fix; the point is
  // put the nearest way round from the middle of the track.
  const double xScale = projection_ == MapProjection::kWebMercator ? 1.0 : shrink_;
  const double middle = (bounds_.left + bounds_.right) / 2.0 / xScale;
  longitude += 360.0 * std::round((middle - longitude) / 360.0);
  x = longitude * xScale;
  y = projection_ == MapProjection::kWebMercator ? MercatorY(latitude) : latitude;
}

}  // namespace quillon
