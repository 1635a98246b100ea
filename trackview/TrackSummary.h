#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "core/FixList.h"

namespace quillon {

// The summary line of a selection.
struct TrackSummary {
  std::size_t fixes = 0;
  // Whole metres between successive fixes added up, by the CSV's distance
  // rule, so that the figure matches the CSV's "Total distance".
  std::int64_t totalMetres = 0;
  // From the first to the last fix whose UTC time is a calendar instant.
  std::optional<std::int64_t> durationSeconds;
  std::optional<double> averageKmh;  // only for a duration above zero
  std::optional<double> highestKmh;
};

TrackSummary SummariseTrack(const FixList& selection);

// "1234 fixes, 12.3 km, 1:02:03, average 11.9 km/h, highest 48.2 km/h";
// parts that are unknown read "-".
std::string FormatSummary(const TrackSummary& summary);

}  // namespace quillon
