#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/AppState.h"
#include "core/FixList.h"

namespace quillon {

inline constexpr char kKmlNamespace[] = "http://earth.google.com/kml/2.0";
inline constexpr char kPlacemarkIcon[] = "http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png";

// "<logStamp>_GoogleEarth_<logSerial>.kml"
std::string KmlFileName(const AppState& state);

// The five pieces of the KML document, line breaks CR LF. The placemark
// folder is written only for a selection that is not empty.
void WriteKmlHeader(std::ostream& out);
void WriteKmlPlacemarks(std::ostream& out, const FixList& selection);
void WriteKmlTrackStart(std::ostream& out);
void WriteKmlTrackCoordinates(std::ostream& out, const FixList& selection);
void WriteKmlEnd(std::ostream& out);

// The whole document: the five pieces in order.
void WriteKml(std::ostream& out, const FixList& selection);

// Text from the log made safe as XML character data, as every such text in
// the document is (sentences, coordinates): '&', '<' and '>' become entities;
// bytes that XML cannot carry at all (control characters other than tab, CR
// and LF, and bytes that do not form UTF-8) become '?'. Plain NMEA passes
// unchanged.
std::string EscapeXmlText(std::string_view text);
void AppendXmlText(std::string& out, std::string_view text);

}  // namespace quillon
