#pragma once

#include <cstdint>
#include <vector>

#include "trackview/TrackModel.h"
#include "trackview/Viewport.h"

namespace quillon {

// The fixes worth drawing at the viewport's scale, as indices into the
// model's fixes in track order; a polyline through them looks like the whole
// track. Inside the viewport a fix closer than `minPixels` to the last kept
// one is dropped; outside it, a stretch of fixes that stays beyond one edge
// collapses to its ends, since the line between them cannot reach the view
// either. The first and last fix and the first fix of every tag run are
// always kept, so markers and run colours stay exact.
std::vector<std::uint32_t> DecimateTrack(const TrackModel& model, const Viewport& viewport, double minPixels = 1.0);

}  // namespace quillon
