#include "export/KmlWriter.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

using testing::Fix;

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?> \r\n"
    "<Document xmlns=\"http://earth.google.com/kml/2.0\"><name>GPS TrackMaker</name><visibility>1</visibility>"
    "<Style id=\"waypoint\"><icon><href>root://icons/bitmap-4.png?x=32&amp;y=160&amp;w=32&amp;h=32</href></icon>"
    "</Style><Style id=\"route\"><icon><href>root://icons/bitmap-4.png?x=160&amp;y=0&amp;w=32&amp;h=32</href>"
    "</icon></Style>";
const std::string kTrackStart =
    "<Folder><name>Tracklogs</name><visibility>1</visibility><Placemark><name>Track 0001</name><Style><LineStyle>"
    "<color>FFFF0000</color><width>1</width></LineStyle></Style><LineString><coordinates>";
const std::string kEnd = "</coordinates></LineString></Placemark></Folder></Document>";

std::string Placemark(int sequence, const std::string& rmc, const std::string& gga, const std::string& coordinates) {
  return "<Placemark>\r\n<name>" + std::to_string(sequence) +
         "</name>\r\n<visibility>0</visibility>\r\n<description>" + rmc + "\r\n" + gga +
         "</description>\r\n<open>1</open>\r\n<Style>\r\n<IconStyle>\r\n<Icon>\r\n"
         "<href>http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png</href></Icon>\r\n"
         "</IconStyle>\r\n</Style>\r\n<Point>\r\n<coordinates>" +
         coordinates + "</coordinates></Point>\r\n</Placemark>\r\n";
}

std::string Kml(const FixList& list) {
  std::ostringstream out;
  WriteKml(out, list);
  return out.str();
}

TEST(KmlWriterTest, EmptySelectionHasNoPlacemarkFolder) {
  const std::string actual = Kml(FixList());
  EXPECT_EQ(actual, kHead + kTrackStart + kEnd);
  testing::ExpectMatchesGolden(actual, "export_empty.kml");
}

TEST(KmlWriterTest, TwoFixesGiveTwoPlacemarksAndTwoTrackTuples) {
  FixRecord first = Fix("121.509463", 'W', "25.052056", 'N');
  first.sequence = 17;
  FixRecord second = Fix("121.509500", 'E', "25.052100", 'S');
  second.sequence = 18;
  const std::string rmc1 = "$GPRMC,140509.000,A,2503.1234,N,12130.5678,W,10.0,54.7,070308,,,A*73";
  const std::string gga1 = "$GPGGA,140509.000,2503.1234,N,12130.5678,W,1,08,1.2,35.6,M,15.0,M,,0000*75";
  const std::string rmc2 = "$GPRMC,140514.000,A,2503.1260,S,12130.5700,E,6.3,60.1,070308,,,A*45";
  const std::string gga2 = "$GPGGA,140514.000,2503.1260,S,12130.5700,E,1,08,1.1,36.1,M,15.0,M,,0000*71";
  FixList list = testing::ListBuilder().Add(first, rmc1, gga1).Add(second, rmc2, gga2).Build();

  const std::string expected = kHead + "\r\n\r\n<Folder>\r\n" +
                               Placemark(17, rmc1, gga1, "-121.509463,25.052056,0") +
                               Placemark(18, rmc2, gga2, "121.509500,-25.052100,0") + "</Folder>" + kTrackStart +
                               "-121.509463,25.052056,0 121.509500,-25.052100,0 " + kEnd;
  const std::string actual = Kml(list);
  EXPECT_EQ(actual, expected);
  testing::ExpectMatchesGolden(actual, "export_two_fixes.kml");
}

TEST(KmlWriterTest, LowerCaseLettersSignThePlacemarkButNotTheTrack) {
  FixRecord r = Fix("1.500000", 'w', "2.500000", 's');
  r.sequence = 1;
  const std::string actual = Kml(testing::ListBuilder().Add(r, "$GPRMC,x", "$GPGGA,y").Build());
  EXPECT_NE(actual.find("<coordinates>-1.500000,-2.500000,0</coordinates></Point>"), std::string::npos);
  EXPECT_NE(actual.find("<LineString><coordinates>1.500000,2.500000,0 </coordinates>"), std::string::npos);
  testing::ExpectMatchesGolden(actual, "export_lower_case.kml");
}

TEST(KmlWriterTest, MarkupCharactersInSentencesAreEscaped) {
  FixRecord r = Fix("1.000000", 'E', "2.000000", 'N');
  r.sequence = 3;
  const std::string actual =
      Kml(testing::ListBuilder().Add(r, "$GPRMC,A&B,<x>*00", "$GPGGA,1&2*00").Build());
  EXPECT_NE(actual.find("<description>$GPRMC,A&amp;B,&lt;x&gt;*00\r\n$GPGGA,1&amp;2*00</description>"),
            std::string::npos)
      << actual;
  testing::ExpectMatchesGolden(actual, "export_ampersand.kml");
}

// Coordinates are copied from the log: markup and bytes that are not UTF-8
// in a damaged log must not break the document (the golden file is also
// parsed as XML).
TEST(KmlWriterTest, MarkupAndStrayBytesInCoordinatesAreEscaped) {
  FixRecord r = Fix("121.5\xFF<4", 'W', "<&.033000", 'S');
  r.sequence = 5;
  const std::string actual = Kml(testing::ListBuilder().Add(r, "$GPRMC,<&*00", "$GPGGA,\xC3*00").Build());
  EXPECT_NE(actual.find("<coordinates>-121.5?&lt;4,-&lt;&amp;.033000,0</coordinates></Point>"), std::string::npos)
      << actual;
  EXPECT_NE(actual.find("<coordinates>-121.5?&lt;4,-&lt;&amp;.033000,0 </coordinates>"), std::string::npos);
  testing::ExpectMatchesGolden(actual, "export_damaged_coordinates.kml");
}

TEST(KmlWriterTest, EscapeKeepsTextXmlCanCarry) {
  const std::pair<std::string, std::string> cases[] = {
      {"$GPRMC,1,2*3F", "$GPRMC,1,2*3F"},
      {"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d\"e'f"},
      {"tab\there\rcr", "tab\there\rcr"},
      {std::string("nul\0x", 5), "nul?x"},
      {"bell\x07", "bell?"},
      {"caf\xC3\xA9", "caf\xC3\xA9"},        // UTF-8 é stays
      {"\xEF\xBC\x81", "\xEF\xBC\x81"},      // full-width mark stays
      {"big5 \xA1\x49", "big5 ?I"},          // not UTF-8
      {"cut \xC3", "cut ?"},                 // sequence cut short
      {"\xED\xA0\x80", "???"},              // a UTF-16 surrogate
      {"\xEF\xBF\xBF", "???"},              // U+FFFF
      {"\xC0\xAF", "??"},                   // overlong
  };
  for (const auto& [input, expected] : cases) {
    SCOPED_TRACE(::testing::PrintToString(input));
    EXPECT_EQ(EscapeXmlText(input), expected);
  }
}

TEST(KmlWriterTest, FileNameComesFromStampAndSerial) {
  AppState state;
  state.logStamp = "20080307140509";
  state.logSerial = 123456;
  EXPECT_EQ(KmlFileName(state), "20080307140509_GoogleEarth_123456.kml");
}

}  // namespace
}  // namespace quillon
