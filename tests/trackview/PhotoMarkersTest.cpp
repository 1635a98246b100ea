// Geotagged photos on the Track View's map: placed where the fix of their
// position is drawn, in either projection and over the antimeridian, and
// found under the pointer.

#include <gtest/gtest.h>

#include <vector>

#include "tests/trackview/TrackViewTestSupport.h"
#include "trackview/PhotoMarkers.h"
#include "trackview/TrackModel.h"

namespace quillon {
namespace {

using testing::FixAt;

TEST(PhotoMarkersTest, APhotoAtAFixIsDrawnOnThatFix) {
  struct Case {
    const char* what;
    std::vector<std::int32_t> longitudes;  // micro-degrees of the track's fixes
  };
  const Case cases[] = {
      {"a track west of Greenwich", {-121509000, -121510000, -121512000}},
      {"a track over the antimeridian", {179999000, 179999900, -179999900, -179999000}},
  };
  for (const MapProjection projection : {MapProjection::kLatitudeCorrected, MapProjection::kWebMercator}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(::testing::Message() << c.what << ", projection " << static_cast<int>(projection));
      FixList list;
      for (const std::int32_t longitude : c.longitudes) list.Append(FixAt(25052000, longitude));
      const TrackModel model = TrackModel::Build(list, projection);
      std::vector<GeotaggedPhoto> photos;
      for (const TrackFix& fix : model.Fixes()) {
        photos.push_back({"/card/DCIM/" + std::to_string(photos.size()) + ".jpg", 1204898709.0,
                          fix.position.latitude / 1e6, fix.position.longitude / 1e6});
      }
      const std::vector<PhotoMarker> markers = PlacePhotoMarkers(model, photos);
      ASSERT_EQ(markers.size(), model.Fixes().size());
      for (std::size_t i = 0; i < markers.size(); ++i) {
        EXPECT_NEAR(markers[i].x, model.Fixes()[i].x, 1e-9) << i;
        EXPECT_NEAR(markers[i].y, model.Fixes()[i].y, 1e-9) << i;
        EXPECT_EQ(markers[i].name, std::to_string(i) + ".jpg");
      }
      // Each marker is the one found at its own place, none far off.
      const double reach = model.Bounds().Width() / 100;
      for (std::size_t i = 0; i < markers.size(); ++i)
        EXPECT_EQ(NearestMarker(markers, markers[i].x, markers[i].y, reach), i);
      EXPECT_FALSE(NearestMarker(markers, markers[0].x, markers[0].y + 1.0, reach).has_value());
    }
  }
  EXPECT_TRUE(PlacePhotoMarkers(TrackModel::Build(FixList()), {{"a.jpg", 0, 25, 121}}).empty());
}

TEST(PhotoMarkersTest, DescribesThePhotoByNameAndTime) {
  FixList list;
  list.Append(FixAt(25052000, -121509000));
  const TrackModel model = TrackModel::Build(list);
  const std::vector<PhotoMarker> markers =
      PlacePhotoMarkers(model, {{"/card/IMG 0042.jpg", 1204898714.5, 25.052, -121.509}});
  ASSERT_EQ(markers.size(), 1u);
  EXPECT_EQ(DescribePhoto(markers[0], model, false), "IMG 0042.jpg  taken 2008-03-07 14:05:14 UTC");
}

}  // namespace
}  // namespace quillon
