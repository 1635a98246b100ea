#include "trackview/PhotoMarkers.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "logdata/CivilTime.h"
#include "platform/PathConventions.h"
#include "trackview/TrackViewLayout.h"

namespace quillon {

std::vector<PhotoMarker> PlacePhotoMarkers(const TrackModel& model, const std::vector<GeotaggedPhoto>& photos) {
  std::vector<PhotoMarker> markers;
  if (model.Empty()) return markers;
  for (const GeotaggedPhoto& photo : photos) {
    PhotoMarker marker;
    const std::size_t slash = photo.path.find_last_of(kPathSeparator == '/' ? "/" : "/\\");
    marker.name = slash == std::string::npos ? photo.path : photo.path.substr(slash + 1);
    marker.utcSeconds = photo.utcSeconds;
    model.Project(photo.latitude, photo.longitude, marker.x, marker.y);
    markers.push_back(std::move(marker));
  }
  return markers;
}

std::optional<std::size_t> NearestMarker(const std::vector<PhotoMarker>& markers, double x, double y,
                                         double maxDistance) {
  std::optional<std::size_t> best;
  double bestDistance = maxDistance;
  for (std::size_t i = 0; i < markers.size(); ++i) {
    const double distance = std::hypot(markers[i].x - x, markers[i].y - y);
    if (distance < bestDistance || (distance == bestDistance && !best)) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

std::string DescribePhoto(const PhotoMarker& marker, const TrackModel& model, bool useLocalTime) {
  const auto utc = static_cast<std::int64_t>(std::floor(marker.utcSeconds));
  std::int64_t shown = utc;
  if (useLocalTime) {
    if (const std::optional<std::uint32_t> nearest = NearestFixInTime(model, utc))
      shown += model.Fixes()[*nearest].localOffsetSeconds;
  }
  const CivilTime t = FromEpochSeconds(shown);
  char when[64];
  std::snprintf(when, sizeof when, "%04lld-%02d-%02d %02d:%02d:%02d %s", static_cast<long long>(t.year), t.month,
                t.day, t.hour, t.minute, t.second, useLocalTime ? "local" : "UTC");
  return marker.name + "  taken " + when;
}

}  // namespace quillon
