#include <gtest/gtest.h>

#include <sstream>

#include "export/LocrWriter.h"
#include "export/TrackmakerWriter.h"
#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

using testing::Fix;
using testing::SetLocal;
using testing::SetUtc;

const std::string kDatum = "Datum,WGS84,WGS84,0,0,0,0,0\r\n";

std::string Trackmaker(const FixList& list, bool useLocalTime = false) {
  std::ostringstream out;
  WriteTrackmaker(out, list, useLocalTime);
  return out.str();
}

std::string Locr(const FixList& list) {
  std::ostringstream out;
  WriteLocr(out, list);
  return out.str();
}

FixRecord At(const char* lon, char ew, const char* lat, char ns, int hour, int minute, int second) {
  FixRecord r = Fix(lon, ew, lat, ns);
  SetUtc(r, 2008, 3, 7, hour, minute, second);
  SetLocal(r, 2008, 3, 7, hour + 8, minute, second);
  return r;
}

TEST(TrackmakerWriterTest, TwoFixExampleGivesTheDocumentedBytes) {
  FixList list = testing::ListBuilder()
                     .Add(At("121.509463", 'W', "25.052056", 'N', 14, 5, 9))
                     .Add(At("121.509500", 'W', "25.052100", 'N', 14, 5, 14))
                     .Build();
  const std::string actual = Trackmaker(list);
  EXPECT_EQ(actual, kDatum +
                        "TP,D,-121.509463,25.052056,7/3/2008,14:5:9,1\n"
                        "TP,D,-121.509500,25.052100,7/3/2008,14:5:14,0\n");
  testing::ExpectMatchesGolden(actual, "export_two_fixes_trackmaker.txt");
}

TEST(TrackmakerWriterTest, EmptySelectionHoldsTheDatumLineAlone) { EXPECT_EQ(Trackmaker(FixList()), kDatum); }

TEST(TrackmakerWriterTest, OneFixIsFlaggedFirst) {
  FixList list = testing::ListBuilder().Add(At("1.000000", 'E', "2.000000", 'S', 9, 5, 3)).Build();
  EXPECT_EQ(Trackmaker(list), kDatum + "TP,D,1.000000,-2.000000,7/3/2008,9:5:3,1\n");
  EXPECT_EQ(Trackmaker(list, true), kDatum + "TP,D,1.000000,-2.000000,7/3/2008,17:5:3,1\n");
}

TEST(TrackmakerWriterTest, LowerCaseLettersGiveNoSign) {
  FixList list = testing::ListBuilder().Add(At("1.000000", 'w', "2.000000", 's', 0, 0, 0)).Build();
  const std::string actual = Trackmaker(list);
  EXPECT_EQ(actual, kDatum + "TP,D,1.000000,2.000000,7/3/2008,0:0:0,1\n");
  testing::ExpectMatchesGolden(actual, "export_lower_case_trackmaker.txt");
}

TEST(LocrWriterTest, WritesTheRmcSentencesAsStored) {
  const std::string rmc1 = "$GPRMC,140509.000,A,2503.1234,N,12130.5678,W,10.0,54.7,070308,,,A*73";
  const std::string rmc2 = "$GPRMC,140514.000,A,2503.1260,N,12130.5700,W,6.3,60.1,070308,,,A*45";
  FixList list = testing::ListBuilder()
                     .Add(Fix("", 'W', "", 'N'), rmc1, "$GPGGA,ignored")
                     .Add(Fix("", 'W', "", 'N'), rmc2, "$GPGGA,ignored")
                     .Build();
  const std::string actual = Locr(list);
  EXPECT_EQ(actual, kDatum + rmc1 + "\n" + rmc2 + "\n");
  testing::ExpectMatchesGolden(actual, "export_two_fixes_locr.txt");
}

TEST(LocrWriterTest, EmptySelectionHoldsTheDatumLineAlone) { EXPECT_EQ(Locr(FixList()), kDatum); }

TEST(LocrWriterTest, FileNameComesFromStampAndSerial) {
  AppState state;
  state.logStamp = "20080307140509";
  state.logSerial = 123456;
  EXPECT_EQ(LocrFileName(state), "20080307140509_locr_123456.txt");
}

}  // namespace
}  // namespace quillon
