#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/AppState.h"
#include "trackview/TrackModel.h"

namespace quillon {

// A geotagged photo as the Track View marks it.
struct PhotoMarker {
  std::string name;  // the file name, without its folder
  double utcSeconds = 0.0;
  double x = 0.0;  // world coordinates of the model
  double y = 0.0;
};

// The photos placed in the model's world; none over an empty model.
std::vector<PhotoMarker> PlacePhotoMarkers(const TrackModel& model, const std::vector<GeotaggedPhoto>& photos);

// The marker nearest to (x, y) within `maxDistance` world units; of equally
// near markers the first.
std::optional<std::size_t> NearestMarker(const std::vector<PhotoMarker>& markers, double x, double y,
                                         double maxDistance);

// The hovered photo in words: "IMG_0042.jpg  taken 2008-03-07 14:05:14 UTC"
// ("local" by the local offset of the fix nearest in time with the
// local-time check box).
std::string DescribePhoto(const PhotoMarker& marker, const TrackModel& model, bool useLocalTime);

}  // namespace quillon
