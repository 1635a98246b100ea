#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "trackview/TrackModel.h"

namespace quillon {

enum class ProfileValue { kSpeedKmh, kAltitude };

// The shared time axis of the speed and altitude profiles: UTC seconds of
// the first to the last timed fix. Labels show the local clock when asked,
// with the offset of the first timed fix (a track across a change of
// daylight saving keeps one offset, so its axis does not fold back).
struct TimeAxis {
  std::int64_t start = 0;
  std::int64_t end = 0;
  std::int32_t labelOffsetSeconds = 0;
  bool valid = false;

  double ToPixel(std::int64_t utcSeconds, double left, double width) const;
};

TimeAxis MakeTimeAxis(const TrackModel& model, bool useLocalTime);

struct AxisTick {
  std::int64_t utcSeconds = 0;
  // "hh:mm", or "hh:mm:ss" for steps under a minute; on an axis of a day or
  // more, midnight is the date instead ("17/3/2008").
  std::string label;
};

// Ticks at a round step (1 s to 1 day, then days, weeks, up to years) so
// that at most `maxTicks` fit.
std::vector<AxisTick> TimeTicks(const TimeAxis& axis, int maxTicks);

// One drawn pixel column of a profile: the lowest and highest value of the
// fixes that fall into it, and the first and last in track order, so that a
// line through the columns joins them as the whole series would.
struct ProfileColumn {
  int column = 0;
  double low = 0.0;
  double high = 0.0;
  double first = 0.0;
  double last = 0.0;
};

// The timed fixes of `model` reduced to at most one entry per column of a
// plot `width` pixels wide, in track order; a column repeats when the track
// goes back in time.
std::vector<ProfileColumn> ProfileColumns(const TrackModel& model, const TimeAxis& axis, ProfileValue value,
                                          int width);

// The lowest and highest value of the timed fixes, for the plot's scale.
void ProfileRange(const TrackModel& model, ProfileValue value, double& low, double& high);

}  // namespace quillon
