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

// Each case is one GGA line and one RMC line, repeated so that the lines
// fall on every byte of the text's eight-byte words and around the places
// where the parser looks ahead for the skip word; `fixes` is whether each
// pair gives its fix.
TEST(ParseRawLogText, MarksCountWhereverTheyLieInTheirLine) {
  const std::string gga = "$GPGGA,010000,2503.1234,N,12130.5678,E,1,05,1.0,10.0,M,,M,,*41";
  const std::string rmc = "$GPRMC,010000,A,2503.1234,N,12130.5678,E,1.0,90.0,120308,,,A*43";
  struct Case {
    const char* name;
    std::string before;  // in front of both identifiers
    std::string after;   // behind the RMC sentence
    bool fixes;
  };
  const Case cases[] = {
      {"junk before the identifiers", "x-y", "", true},
      {"identifiers end at the 1023rd character", std::string(1017, 'x'), "", true},
      {"identifiers end past it", std::string(1018, 'x'), "", false},
      {"skip word behind the sentence", "", " Checksum", false},
      {"skip word in front", "Checksum,", "", false},
      {"skip word ends at the 1023rd character", "", std::string(1023 - rmc.size() - 8, 'y') + "Checksum", false},
      {"skip word ends past it", "", std::string(1024 - rmc.size() - 8, 'y') + "Checksum", true},
      {"a cut skip word", "", " Checksu", true},
      {"checksum digits with a C", "", "*CC", true},
  };
  for (const Case& c : cases) {
    for (std::size_t shift = 0; shift < 9; ++shift) {
      SCOPED_TRACE(std::string(c.name) + ", shifted by " + std::to_string(shift));
      // 200 pairs: some kilobytes for the short lines, with the shift in front
      // of every fourth pair moving the lines across the words.
      std::string text;
      for (int pair = 0; pair < 200; ++pair) {
        if (pair % 4 == 0) text += std::string(shift, ' ') + "\n";
        text += c.before + gga + "\r\n" + c.before + rmc + c.after + (pair % 2 ? "\n" : "\r\n");
      }
      std::int32_t counter = 0;
      const std::vector<FixRecord> records = Parse(text, 1, std::numeric_limits<std::size_t>::max(), counter);
      ASSERT_EQ(records.size(), c.fixes ? 200u : 0u);
      RecordBlock piece;
      ParsePiece(text, 0, text.size(), piece);
      EXPECT_EQ(piece.size(), records.size());
    }
  }
}

// No record takes fewer characters than both identifiers and a line end, and
// a piece's records are made in a block bounded by that alone.
TEST(ParsePiece, TheShortestRecordsFillTheirPiece) {
  RecordBlock records;
  for (std::size_t lines : {1u, 2u, 13u, 1000u}) {
    SCOPED_TRACE(std::to_string(lines) + " lines");
    std::string text;
    for (std::size_t i = 0; i < lines; ++i) text += "$GPGGA$GPRMC\n";
    ParsePiece(text, 0, text.size(), records);
    EXPECT_EQ(records.size(), lines);
    // A piece that ends inside its last line still reads that line.
    ParsePiece(text, 0, text.size() - 1, records);
    EXPECT_EQ(records.size(), lines);
  }
}

}  // namespace
}  // namespace quillon
