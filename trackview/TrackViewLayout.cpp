#include "trackview/TrackViewLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "logdata/CivilTime.h"

namespace quillon {

namespace {

constexpr double kOuterMargin = 10.0;
constexpr double kAxisLabelWidth = 66.0;  // value labels left of the profiles
constexpr double kTimeLabelHeight = 22.0;
constexpr double kProfileGap = 14.0;
constexpr double kLegendWidth = 16.0;

}  // namespace

TrackViewLayout LayOutTrackView(double width, double height) {
  TrackViewLayout layout;
  const double inner = std::max(0.0, width - 2 * kOuterMargin);
  // The profiles take a quarter of the height each up to a comfortable size;
  // the map takes the rest.
  const double profile = std::clamp((height - 2 * kOuterMargin) * 0.17, 40.0, 130.0);
  const double mapHeight = std::max(40.0, height - 2 * kOuterMargin - 2 * profile - 2 * kProfileGap - kTimeLabelHeight);
  layout.map = {kOuterMargin, kOuterMargin, inner, mapHeight};
  // The legend's labels and frame take about 60 pixels right of the bar and
  // 26 above it.
  layout.legend = {layout.map.left + layout.map.width - kLegendWidth - 64.0, layout.map.top + 36.0, kLegendWidth,
                   std::min(160.0, mapHeight - 52.0)};
  // The legend's frame starts 8 pixels left of its bar; beyond that, room for
  // the label of a fix drawn at the right edge ("End"), which reaches some
  // 45 pixels right of its fix. A narrow map keeps most of its width for the
  // track even so.
  layout.fit = layout.map;
  layout.fit.width = std::max(layout.legend.left - 32.0 - layout.map.left, layout.map.width * 0.6);
  const double plotLeft = kOuterMargin + kAxisLabelWidth;
  const double plotWidth = std::max(10.0, inner - kAxisLabelWidth);
  layout.speedPlot = {plotLeft, layout.map.top + mapHeight + kProfileGap, plotWidth, profile};
  layout.altitudePlot = {plotLeft, layout.speedPlot.top + profile + kProfileGap, plotWidth, profile};
  return layout;
}

std::vector<double> ValueTicks(double low, double high, int maxTicks) {
  if (!(high > low)) high = low + 1.0;
  maxTicks = std::max(maxTicks, 2);
  const double rough = (high - low) / (maxTicks - 1);
  const double power = std::pow(10.0, std::floor(std::log10(rough)));
  double step = power;
  for (double multiple : {1.0, 2.0, 5.0, 10.0}) {
    step = multiple * power;
    if (std::floor(low / step) * step + (maxTicks - 1) * step >= high) break;
  }
  std::vector<double> ticks;
  for (double value = std::floor(low / step) * step; ticks.size() < static_cast<std::size_t>(maxTicks); value += step) {
    ticks.push_back(std::abs(value) < step * 1e-9 ? 0.0 : value);
    if (value >= high) break;
  }
  return ticks;
}

std::string DescribeFix(const TrackFix& fix, bool useLocalTime) {
  char when[48] = "no time";
  if (fix.hasTime) {
    const CivilTime t = FromEpochSeconds(fix.utcSeconds + (useLocalTime ? fix.localOffsetSeconds : 0));
    std::snprintf(when, sizeof when, "%04lld-%02d-%02d %02d:%02d:%02d %s", static_cast<long long>(t.year), t.month,
                  t.day, t.hour, t.minute, t.second, useLocalTime ? "local" : "UTC");
  }
  char tag[16] = "no tag";
  if (!fix.untagged) std::snprintf(tag, sizeof tag, "Tag %03d", fix.tag);
  char text[128];
  std::snprintf(text, sizeof text, "%s  %.1f km/h  %.0f m  %s", when, fix.speedKmh, fix.altitude, tag);
  return text;
}

std::optional<std::uint32_t> NearestFixInTime(const TrackModel& model, std::int64_t utcSeconds) {
  std::optional<std::uint32_t> best;
  std::int64_t bestDistance = std::numeric_limits<std::int64_t>::max();
  const std::vector<TrackFix>& fixes = model.Fixes();
  for (std::uint32_t i = 0; i < fixes.size(); ++i) {
    if (!fixes[i].hasTime) continue;
    const std::int64_t distance =
        fixes[i].utcSeconds > utcSeconds ? fixes[i].utcSeconds - utcSeconds : utcSeconds - fixes[i].utcSeconds;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
    }
  }
  return best;
}

}  // namespace quillon
