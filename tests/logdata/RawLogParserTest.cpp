#include "logdata/RawLogParser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace quillon {
namespace {

// Lines that shape where a record starts, ends, is dropped or stays
// unnumbered, so that a split anywhere among them is put to the test.
const std::vector<std::string> kLinePool = {
    "---,$GPGGA,010000,2503.1234,N,12130.5678,E,1,05,1.0,10.0,M,,M,,*41",
    "-12,$GPRMC,010000,A,2503.1234,N,12130.5678,E,1.5,90.0,120308,,,A*43",
    "$GPGGA,010001,2503.1334,N,12130.5778,E,1,06,1.0,20.0,M,,M,,*42",
    "$GPRMC,010001,A,2503.1334,N,12130.5778,E,2.0,91.0,120308,,,A*44",
    "$GPGGA",                                   // no field: its record keeps sequence 0
    "123,$GPGGA*00",                            // a tag field but no sentence field
    "Checksum $GPGGA,010002,2503.2,N,12130.6,E",  // skipped whatever it holds
    "$GPGGA,010003,2503.3,N,12130.7,E,1,07,0.9,30.0,M,,M,,*00 $GPRMC,010003,A,2503.3,N,12130.7,E,3,92,120308,,*00",
    "noise without a mark",
    "",
    "$GPRMC,010004,V,,,,,,,120308,,,N*00",
    "$GPGGA$GPRMC,010005,A,2503.4,N,12130.8,E,1,93,120308,,*00",  // a GGA with no field of its own
};

std::string RandomLog(unsigned seed, std::size_t lines) {
  std::mt19937 random(seed);
  std::string text;
  for (std::size_t i = 0; i < lines; ++i) {
    text += kLinePool[random() % kLinePool.size()];
    text += random() % 8 == 0 ? "\n" : "\r\n";
  }
  if (seed % 2) text += kLinePool[0];  // a last line without LF is no line
  return text;
}

std::vector<FixRecord> Parse(const std::string& text, std::int32_t firstCounter, std::size_t twoPieceMinimum,
                             std::int32_t& counterAfter) {
  AppState state;
  state.fixCounter = firstCounter;
  state.rawLogText = MakeSharedText(text);
  ParseRawLogText(state, twoPieceMinimum);
  counterAfter = state.fixCounter;
  const RecordBlock& records = state.fixList.Records();
  return std::vector<FixRecord>(records.begin(), records.end());
}

TEST(ParseRawLogText, TwoPiecesGiveTheRecordsAndCounterOfOne) {
  constexpr std::int32_t kCounters[] = {1, 0, std::numeric_limits<std::int32_t>::max() - 300};
  for (unsigned seed = 1; seed <= 12; ++seed) {
    const std::string text = RandomLog(seed, 200 + seed * 97);
    for (std::int32_t first : kCounters) {
      SCOPED_TRACE("seed " + std::to_string(seed) + ", counter from " + std::to_string(first));
      std::int32_t oneCounter = 0;
      std::int32_t twoCounter = 0;
      const std::vector<FixRecord> one = Parse(text, first, std::numeric_limits<std::size_t>::max(), oneCounter);
      const std::vector<FixRecord> two = Parse(text, first, 0, twoCounter);
      EXPECT_EQ(twoCounter, oneCounter);
      ASSERT_EQ(two.size(), one.size());
      for (std::size_t i = 0; i < one.size(); ++i) {
        SCOPED_TRACE("record " + std::to_string(i));
        EXPECT_EQ(two[i].sequence, one[i].sequence);
        EXPECT_EQ(two[i].tag, one[i].tag);
        EXPECT_EQ(two[i].untagged, one[i].untagged);
        EXPECT_EQ(two[i].latitudeText.View(), one[i].latitudeText.View());
        EXPECT_EQ(two[i].longitudeDegrees.View(), one[i].longitudeDegrees.View());
        EXPECT_EQ(two[i].utcSecond, one[i].utcSecond);
        EXPECT_EQ(two[i].altitude, one[i].altitude);
        EXPECT_EQ(two[i].ggaSentence.offset, one[i].ggaSentence.offset);
        EXPECT_EQ(two[i].rmcSentence.offset, one[i].rmcSentence.offset);
      }
    }
  }
}

}  // namespace
}  // namespace quillon
