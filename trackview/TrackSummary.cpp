#include "trackview/TrackSummary.h"

#include <algorithm>
#include <charconv>

#include "export/FixText.h"
#include "logdata/CheckedFix.h"
#include "logdata/Distance.h"

namespace quillon {

namespace {

void AppendOneDecimal(std::string& out, double value) {
  char text[64];
  const auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 1);
  out.append(text, ec == std::errc() ? end : text);
}

void AppendSpeed(std::string& out, const std::optional<double>& kmh) {
  if (!kmh) {
    out += '-';
    return;
  }
  AppendOneDecimal(out, *kmh);
  out += " km/h";
}

}  // namespace

TrackSummary SummariseTrack(const FixList& selection) {
  TrackSummary summary;
  summary.fixes = selection.Size();
  std::int32_t lastLatitude = 0;
  std::int32_t lastLongitude = 0;
  std::optional<std::int64_t> first;
  std::optional<std::int64_t> last;
  for (std::size_t i = 0; i < selection.Size(); ++i) {
    const FixRecord& r = selection[i];
    const std::int32_t latitude = ToSignedMicroDegrees(r.latitudeDegrees.View(), IsSouth(r));
    const std::int32_t longitude = ToSignedMicroDegrees(r.longitudeDegrees.View(), IsWest(r));
    if (i > 0) {
      summary.totalMetres +=
          static_cast<std::int64_t>(DistanceMetres(lastLatitude, lastLongitude, latitude, longitude));
    }
    lastLatitude = latitude;
    lastLongitude = longitude;
    if (const auto utc = CheckedUtcSeconds(r)) {
      if (!first) first = utc;
      last = utc;
    }
    const std::optional<double> knots = RmcSpeedKnots(selection, r);
    const double kmh = (knots ? *knots : static_cast<double>(r.speedKnots)) * 1.852;
    summary.highestKmh = std::max(summary.highestKmh.value_or(kmh), kmh);
  }
  if (first) {
    summary.durationSeconds = *last - *first;
    if (*summary.durationSeconds > 0) {
      summary.averageKmh = static_cast<double>(summary.totalMetres) / static_cast<double>(*summary.durationSeconds) * 3.6;
    }
  }
  return summary;
}

std::string FormatSummary(const TrackSummary& summary) {
  std::string out;
  AppendInteger(out, static_cast<std::int64_t>(summary.fixes));
  out += summary.fixes == 1 ? " fix, " : " fixes, ";
  if (summary.totalMetres < 1000) {
    AppendInteger(out, summary.totalMetres);
    out += " m, ";
  } else {
    AppendOneDecimal(out, static_cast<double>(summary.totalMetres) / 1000.0);
    out += " km, ";
  }
  if (summary.durationSeconds) {
    std::int64_t seconds = *summary.durationSeconds;
    if (seconds < 0) {
      out += '-';
      seconds = -seconds;
    }
    AppendInteger(out, seconds / 3600);
    for (const std::int64_t part : {seconds / 60 % 60, seconds % 60}) {
      out += part < 10 ? ":0" : ":";
      AppendInteger(out, part);
    }
  } else {
    out += '-';
  }
  out += ", average ";
  AppendSpeed(out, summary.averageKmh);
  out += ", highest ";
  AppendSpeed(out, summary.highestKmh);
  return out;
}

}  // namespace quillon
