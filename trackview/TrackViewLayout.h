#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "trackview/TrackModel.h"
#include "trackview/Viewport.h"

namespace quillon {

// Where the parts of the Track View's picture go in a canvas of the given
// size: the map on top, the speed and the altitude profile under it sharing
// one time axis (drawn once, under the altitude profile).
struct TrackViewLayout {
  PixelRect map;
  PixelRect legend;  // the speed colour bar, inside the map's right edge
  PixelRect fit;     // where the whole track is shown: the map left of the legend
  PixelRect speedPlot;
  PixelRect altitudePlot;
};

TrackViewLayout LayOutTrackView(double width, double height);

// Values at a round step (1, 2 or 5 times a power of ten) from at or below
// `low` to at or above `high`, at most `maxTicks` of them.
std::vector<double> ValueTicks(double low, double high, int maxTicks);

// The hovered fix in words: "2008-03-12 14:45:06 local  48.2 km/h  123 m  Tag 012"
// ("UTC" instead of "local" without the local-time check box, "no tag" for an
// untagged fix, "no time" when its UTC date is no calendar instant).
std::string DescribeFix(const TrackFix& fix, bool useLocalTime);

// The fix whose time is nearest `utcSeconds`, for hovering over a profile;
// of equally near fixes the earliest in the track. Nothing without timed fixes.
std::optional<std::uint32_t> NearestFixInTime(const TrackModel& model, std::int64_t utcSeconds);

}  // namespace quillon
