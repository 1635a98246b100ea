#include "export/KmlWriter.h"

#include "export/FixText.h"

namespace quillon {

namespace {

constexpr char kLineBreak[] = "\r\n";

// Length of the well-formed UTF-8 sequence of an XML character starting at
// text[i], or 0 when the bytes there do not form one.
std::size_t XmlCharLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return (lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r') ? 1 : 0;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no UTF-16 surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  // U+FFFE and U+FFFF are not XML characters.
  if (length == 3 && lead == 0xEF && byte(i + 1) == 0xBF && byte(i + 2) >= 0xBE) return 0;
  return length;
}

void AppendSignedCoordinates(std::string& out, const FixRecord& r, bool west, bool south) {
  if (west) out += '-';
  AppendXmlText(out, r.longitudeDegrees.View());
  out += ',';
  if (south) out += '-';
  AppendXmlText(out, r.latitudeDegrees.View());
  out += ",0";
}

void Write(std::ostream& out, const std::string& text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

}  // namespace

std::string KmlFileName(const AppState& state) {
  return state.logStamp + "_GoogleEarth_" + std::to_string(state.logSerial) + ".kml";
}

void AppendXmlText(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else if (std::size_t length = XmlCharLength(text, i); length > 0) {
      out.append(text, i, length);
      i += length;
      continue;
    } else {
      out += '?';
    }
    ++i;
  }
}

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendXmlText(out, text);
  return out;
}

void WriteKmlHeader(std::ostream& out) {
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?> " << kLineBreak << "<Document xmlns=\"" << kKmlNamespace
      << "\"><name>GPS TrackMaker"
      << "</name><visibility>1</visibility><Style id=\"waypoint\"><icon><href>"
      << "root://icons/bitmap-4.png?x=32&amp;y=160&amp;w=32&amp;h=32</href></icon></Style><Style "
         "id=\"route\"><icon><href>"
      << "root://icons/bitmap-4.png?x=160&amp;y=0&amp;w=32&amp;h=32</href></icon></Style>";
}

void WriteKmlPlacemarks(std::ostream& out, const FixList& selection) {
  if (selection.Empty()) return;
  out << kLineBreak << kLineBreak << "<Folder>" << kLineBreak;
  std::string text;
  for (const FixRecord& r : selection.Records()) {
    text.clear();
    text += "<Placemark>\r\n<name>";
    AppendInteger(text, r.sequence);
    text += "</name>\r\n<visibility>0</visibility>\r\n<description>";
    AppendXmlText(text, selection.RmcSentence(r));
    text += kLineBreak;
    AppendXmlText(text, selection.GgaSentence(r));
    text += "</description>\r\n<open>1</open>\r\n<Style>\r\n<IconStyle>\r\n<Icon>\r\n<href>";
    text += kPlacemarkIcon;
    text += "</href></Icon>\r\n</IconStyle>\r\n</Style>\r\n<Point>\r\n<coordinates>";
    AppendSignedCoordinates(text, r, r.eastWest == 'W' || r.eastWest == 'w',
                            r.northSouth == 'S' || r.northSouth == 's');
    text += "</coordinates></Point>\r\n</Placemark>\r\n";
    Write(out, text);
  }
  out << "</Folder>";
}

void WriteKmlTrackStart(std::ostream& out) {
  out << "<Folder><name>Tracklogs</name>"
      << "<visibility>1</visibility><Placemark><name>Track 0001</name><Style><LineStyle><color>FFFF0000</color>"
         "<width>1</width></LineStyle></Style><LineString><coordinates>";
}

void WriteKmlTrackCoordinates(std::ostream& out, const FixList& selection) {
  std::string text;
  for (const FixRecord& r : selection.Records()) {
    text.clear();
    AppendSignedCoordinates(text, r, IsWest(r), IsSouth(r));
    text += ' ';
    Write(out, text);
  }
}

void WriteKmlEnd(std::ostream& out) { out << "</coordinates></LineString></Placemark></Folder></Document>"; }

void WriteKml(std::ostream& out, const FixList& selection) {
  WriteKmlHeader(out);
  WriteKmlPlacemarks(out, selection);
  WriteKmlTrackStart(out);
  WriteKmlTrackCoordinates(out, selection);
  WriteKmlEnd(out);
}

}  // namespace quillon
