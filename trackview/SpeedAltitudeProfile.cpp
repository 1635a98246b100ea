#include "trackview/SpeedAltitudeProfile.h"

#include <algorithm>
#include <array>

#include "logdata/CivilTime.h"

namespace quillon {

namespace {

double ValueOf(const TrackFix& fix, ProfileValue value) {
  return value == ProfileValue::kSpeedKmh ? fix.speedKmh : fix.altitude;
}

std::string Clock(std::int64_t seconds, bool withSeconds) {
  const CivilTime t = FromEpochSeconds(seconds);
  std::string text;
  for (int part : {t.hour, t.minute, t.second}) {
    if (!text.empty()) text += ':';
    text += static_cast<char>('0' + part / 10);
    text += static_cast<char>('0' + part % 10);
    if (!withSeconds && text.size() == 5) break;
  }
  return text;
}

// The day of a clock's time as the CSV prints it: "7/3/2008".
std::string Date(std::int64_t seconds) {
  const CivilTime t = FromEpochSeconds(seconds);
  return std::to_string(t.day) + "/" + std::to_string(t.month) + "/" + std::to_string(t.year);
}

}  // namespace

double TimeAxis::ToPixel(std::int64_t utcSeconds, double left, double width) const {
  if (end <= start) return left + width / 2.0;
  return left + static_cast<double>(utcSeconds - start) / static_cast<double>(end - start) * width;
}

TimeAxis MakeTimeAxis(const TrackModel& model, bool useLocalTime) {
  TimeAxis axis;
  for (const TrackFix& fix : model.Fixes()) {
    if (!fix.hasTime) continue;
    if (!axis.valid) {
      axis = {fix.utcSeconds, fix.utcSeconds, useLocalTime ? fix.localOffsetSeconds : 0, true};
    }
    axis.start = std::min(axis.start, fix.utcSeconds);
    axis.end = std::max(axis.end, fix.utcSeconds);
  }
  return axis;
}

std::vector<AxisTick> TimeTicks(const TimeAxis& axis, int maxTicks) {
  constexpr std::int64_t kDay = 86400;
  static constexpr std::array<std::int64_t, 23> kSteps = {
      1,     2,     5,        10,       15,       30,        60,        120,       300,       600,       900,     1800,
      3600,  7200,  21600,    kDay,     2 * kDay, 7 * kDay,  14 * kDay, 28 * kDay, 56 * kDay, 112 * kDay, 364 * kDay};
  std::vector<AxisTick> ticks;
  if (!axis.valid || maxTicks < 1) return ticks;
  const std::int64_t span = axis.end - axis.start;
  std::int64_t step = 0;
  for (std::int64_t candidate : kSteps) {
    if (span / candidate + 1 <= maxTicks) {
      step = candidate;
      break;
    }
  }
  // Longer than the steps go: whole multiples of the longest.
  if (step == 0) step = (span / std::max(maxTicks - 1, 1) / kSteps.back() + 1) * kSteps.back();
  // Round steps of the clock the labels show, not of UTC.
  const std::int64_t offset = axis.labelOffsetSeconds;
  // On an axis of a day or more a clock time alone says nothing of which
  // day it is: midnight shows the date instead. A shorter one over midnight
  // reads well enough as "23:00 00:00 01:00".
  const bool severalDays = span >= kDay;
  std::int64_t shown = (axis.start + offset + step - 1) / step * step;
  if (axis.start + offset < 0) shown = (axis.start + offset) / step * step;
  for (; shown - offset <= axis.end && static_cast<int>(ticks.size()) < maxTicks; shown += step) {
    const bool midnight = (shown % kDay + kDay) % kDay == 0;
    ticks.push_back({shown - offset, severalDays && midnight ? Date(shown) : Clock(shown, step < 60)});
  }
  return ticks;
}

std::vector<ProfileColumn> ProfileColumns(const TrackModel& model, const TimeAxis& axis, ProfileValue value,
                                          int width) {
  std::vector<ProfileColumn> columns;
  if (!axis.valid || width < 1) return columns;
  for (const TrackFix& fix : model.Fixes()) {
    if (!fix.hasTime) continue;
    const int column =
        std::clamp(static_cast<int>(axis.ToPixel(fix.utcSeconds, 0.0, static_cast<double>(width))), 0, width - 1);
    const double v = ValueOf(fix, value);
    if (!columns.empty() && columns.back().column == column) {
      ProfileColumn& c = columns.back();
      c.low = std::min(c.low, v);
      c.high = std::max(c.high, v);
      c.last = v;
    } else {
      columns.push_back({column, v, v, v, v});
    }
  }
  return columns;
}

void ProfileRange(const TrackModel& model, ProfileValue value, double& low, double& high) {
  bool any = false;
  low = high = 0.0;
  for (const TrackFix& fix : model.Fixes()) {
    if (!fix.hasTime) continue;
    const double v = ValueOf(fix, value);
    low = any ? std::min(low, v) : v;
    high = any ? std::max(high, v) : v;
    any = true;
  }
}

}  // namespace quillon
