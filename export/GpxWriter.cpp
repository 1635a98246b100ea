#include "export/GpxWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>
#include <vector>

#include "export/FixText.h"
#include "export/KmlWriter.h"
#include "logdata/CheckedFix.h"

namespace quillon {

namespace {

// A fix that made it into the track, with its position already read.
struct TrackPoint {
  const FixRecord* record;
  GeoPoint position;
};

bool SameRun(const FixRecord& a, const FixRecord& b) { return a.untagged == b.untagged && a.tag == b.tag; }

// Signed micro-degrees as decimal degrees with six decimals, exactly.
void AppendMicroDegrees(std::string& out, std::int32_t value) {
  std::int64_t magnitude = value;
  if (magnitude < 0) {
    out += '-';
    magnitude = -magnitude;
  }
  AppendInteger(out, magnitude / 1000000);
  char decimals[8] = {'.'};
  std::int64_t fraction = magnitude % 1000000;
  for (int i = 6; i >= 1; --i, fraction /= 10) decimals[i] = static_cast<char>('0' + fraction % 10);
  out.append(decimals, 7);
}

// The shortest decimal text that reads back as `value`, never in exponent
// form (xsd:decimal has none). False for infinities and NaN.
bool AppendDecimal(std::string& out, double value, std::optional<int> precision = std::nullopt) {
  if (!std::isfinite(value)) return false;
  char text[400];
  auto [end, ec] = precision ? std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, *precision)
                             : std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
  if (ec != std::errc()) return false;
  out.append(text, end);
  return true;
}

void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + value / 10);
  out += static_cast<char>('0' + value % 10);
}

// YYYY-MM-DDThh:mm:ssZ from the UTC fields; false when they are no instant.
bool AppendUtcTime(std::string& out, const FixRecord& r) {
  if (!CheckedUtcSeconds(r)) return false;
  AppendInteger(out, 2000 + r.utcYear);
  out += '-';
  AppendTwoDigits(out, r.utcMonth);
  out += '-';
  AppendTwoDigits(out, r.utcDay);
  out += 'T';
  AppendTwoDigits(out, r.utcHour);
  out += ':';
  AppendTwoDigits(out, r.utcMinute);
  out += ':';
  AppendTwoDigits(out, r.utcSecond);
  out += 'Z';
  return true;
}

// The course text when it is a plain decimal number from 0 to 360, as the
// extension's DegreesTrue_t asks; other texts are no course.
bool IsCourse(std::string_view text) {
  if (text.empty() || text == ".") return false;
  bool point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return value <= 360.0;
}

void AppendElement(std::string& out, std::string_view indent, std::string_view name, std::string_view text) {
  out.append(indent).append("<").append(name).append(">").append(text);
  out.append("</").append(name).append(">\n");
}

void AppendPosition(std::string& out, std::string_view element, const GeoPoint& p) {
  out.append("<").append(element).append(" lat=\"");
  AppendMicroDegrees(out, p.latitude);
  out += "\" lon=\"";
  AppendMicroDegrees(out, p.longitude);
  out += "\">\n";
}

void AppendWaypoint(std::string& out, const TrackPoint& point) {
  const FixRecord& r = *point.record;
  out += "  ";
  AppendPosition(out, "wpt", point.position);
  std::string time;
  if (AppendUtcTime(time, r)) AppendElement(out, "    ", "time", time);
  std::string name = "Tag ";
  if (r.tag < 100) name += '0';
  if (r.tag < 10) name += '0';
  AppendInteger(name, r.tag);
  AppendElement(out, "    ", "name", name);
  out += "  </wpt>\n";
}

void AppendTrackPoint(std::string& out, const FixList& selection, const TrackPoint& point) {
  const FixRecord& r = *point.record;
  constexpr std::string_view kIndent = "        ";
  out += "      ";
  AppendPosition(out, "trkpt", point.position);
  std::string value;
  if (AppendDecimal(value, r.altitude)) AppendElement(out, kIndent, "ele", value);
  value.clear();
  if (AppendUtcTime(value, r)) AppendElement(out, kIndent, "time", value);
  value.clear();
  if (r.satellites >= 0) {
    AppendInteger(value, r.satellites);
    AppendElement(out, kIndent, "sat", value);
  }
  value.clear();
  if (AppendDecimal(value, r.hdop)) AppendElement(out, kIndent, "hdop", value);

  std::string speed;
  const std::optional<double> knots = RmcSpeedKnots(selection, r);
  if (knots) AppendDecimal(speed, *knots * kMetresPerSecondPerKnot, 3);
  const std::string_view course = r.courseText.View();
  const bool hasCourse = IsCourse(course);
  if (!speed.empty() || hasCourse) {
    out.append(kIndent).append("<extensions>\n");
    out.append(kIndent).append("  <gpxtpx:TrackPointExtension>\n");
    const std::string inner = std::string(kIndent) + "    ";
    if (!speed.empty()) AppendElement(out, inner, "gpxtpx:speed", speed);
    if (hasCourse) AppendElement(out, inner, "gpxtpx:course", course);
    out.append(kIndent).append("  </gpxtpx:TrackPointExtension>\n");
    out.append(kIndent).append("</extensions>\n");
  }
  out += "      </trkpt>\n";
}

void AppendMetadata(std::string& out, const std::vector<TrackPoint>& points) {
  out += "  <metadata>\n";
  for (const TrackPoint& point : points) {
    std::string time;
    if (AppendUtcTime(time, *point.record)) {
      AppendElement(out, "    ", "time", time);
      break;
    }
  }
  if (!points.empty()) {
    GeoPoint low = points.front().position;
    GeoPoint high = low;
    for (const TrackPoint& point : points) {
      low.latitude = std::min(low.latitude, point.position.latitude);
      low.longitude = std::min(low.longitude, point.position.longitude);
      high.latitude = std::max(high.latitude, point.position.latitude);
      high.longitude = std::max(high.longitude, point.position.longitude);
    }
    out += "    <bounds minlat=\"";
    AppendMicroDegrees(out, low.latitude);
    out += "\" minlon=\"";
    AppendMicroDegrees(out, low.longitude);
    out += "\" maxlat=\"";
    AppendMicroDegrees(out, high.latitude);
    out += "\" maxlon=\"";
    AppendMicroDegrees(out, high.longitude);
    out += "\"/>\n";
  }
  out += "  </metadata>\n";
}

void Flush(std::ostream& out, std::string& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  text.clear();
}

}  // namespace

std::string GpxFileName(const AppState& state) {
  return state.logStamp + "_LogData_" + std::to_string(state.logSerial) + ".gpx";
}

GpxCounts WriteGpx(std::ostream& out, const FixList& selection, std::string_view trackName) {
  GpxCounts counts;
  std::vector<TrackPoint> points;
  points.reserve(selection.Size());
  for (const FixRecord& r : selection.Records()) {
    if (const auto position = CheckedPosition(r)) {
      points.push_back({&r, *position});
    } else {
      ++counts.leftOut;
    }
  }
  counts.trackPoints = points.size();

  std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<gpx version=\"1.1\" creator=\"";
  text += kGpxCreator;
  text += "\" xmlns=\"";
  text += kGpxNamespace;
  text += "\" xmlns:gpxtpx=\"";
  text += kTrackPointExtensionNamespace;
  text += "\">\n";
  AppendMetadata(text, points);
  // A record without a tag field has tag 0 and counts as tagged, as in the
  // tag box, so that every tag one can pick there has its waypoint.
  for (std::size_t i = 0; i < points.size(); ++i) {
    const FixRecord& r = *points[i].record;
    if (r.untagged || (i > 0 && SameRun(*points[i - 1].record, r))) continue;
    AppendWaypoint(text, points[i]);
    ++counts.waypoints;
  }
  text += "  <trk>\n";
  AppendElement(text, "    ", "name", EscapeXmlText(trackName));
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0 || !SameRun(*points[i - 1].record, *points[i].record)) {
      if (i > 0) text += "    </trkseg>\n";
      text += "    <trkseg>\n";
    }
    AppendTrackPoint(text, selection, points[i]);
    if (text.size() > 60000) Flush(out, text);
  }
  if (!points.empty()) text += "    </trkseg>\n";
  text += "  </trk>\n</gpx>\n";
  Flush(out, text);
  return counts;
}

}  // namespace quillon
