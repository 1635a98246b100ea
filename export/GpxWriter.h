#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

#include "core/AppState.h"
#include "core/FixList.h"

namespace quillon {

inline constexpr char kGpxNamespace[] = "http://www.topografix.com/GPX/1/1";
inline constexpr char kTrackPointExtensionNamespace[] = "http://www.garmin.com/xmlschemas/TrackPointExtension/v2";
inline constexpr char kGpxCreator[] = "Quillon 1.0";

// "<logStamp>_LogData_<logSerial>.gpx", written into the kGpxFolder folder.
std::string GpxFileName(const AppState& state);

// What a GPX document holds of its selection.
struct GpxCounts {
  std::size_t trackPoints = 0;
  std::size_t waypoints = 0;
  // Fixes left out because their position is empty or no coordinate.
  std::size_t leftOut = 0;
};

// The selection as a GPX 1.1 document: metadata with the time of the first
// track point that has one and the bounds of all track points, a waypoint
// "Tag nnn" at the first point of every tagged run, and one track named
// `trackName` with a segment for every run of points with the same tag.
// Times are always UTC. Speed (m/s) and course travel in the
// TrackPointExtension v2 element.
GpxCounts WriteGpx(std::ostream& out, const FixList& selection, std::string_view trackName);

}  // namespace quillon
