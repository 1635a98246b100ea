#include "logdata/ParallelParse.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/logdata/LogdataTestSupport.h"

namespace quillon {
namespace {

constexpr std::size_t kNeverSplit = std::numeric_limits<std::size_t>::max();

const std::string kGga = "--5,$GPGGA,010000,2503.1234,N,12130.5678,E,1,05,1.0,10.0,M,,M,,*41";
const std::string kRmc = "--5,$GPRMC,010000,A,2503.1234,N,12130.5678,E,1.0,90.0,120308,,,A*43";
const std::string kGgaOther = "$GPGGA,020000,4717.1139,N,00833.9159,W,1,07,0.9,33.0,M,,M,,*42";
const std::string kRmcOther = "$GPRMC,020000,A,4717.1139,N,00833.9159,W,3.0,10.0,130308,,,A*44";

template <std::size_t N>
void ExpectSameText(const FixedText<N>& a, const FixedText<N>& b, const char* name) {
  EXPECT_EQ(std::string(a.data, N), std::string(b.data, N)) << name;
}

void ExpectSameRecord(const FixRecord& a, const FixRecord& b) {
  EXPECT_EQ(a.sequence, b.sequence);
  EXPECT_EQ(a.tag, b.tag);
  EXPECT_EQ(a.untagged, b.untagged);
  EXPECT_EQ(a.northSouth, b.northSouth);
  EXPECT_EQ(a.eastWest, b.eastWest);
  EXPECT_EQ(a.utcYear, b.utcYear);
  EXPECT_EQ(a.utcMonth, b.utcMonth);
  EXPECT_EQ(a.utcDay, b.utcDay);
  EXPECT_EQ(a.utcHour, b.utcHour);
  EXPECT_EQ(a.utcMinute, b.utcMinute);
  EXPECT_EQ(a.utcSecond, b.utcSecond);
  EXPECT_EQ(a.localYear, b.localYear);
  EXPECT_EQ(a.localMonth, b.localMonth);
  EXPECT_EQ(a.localDay, b.localDay);
  EXPECT_EQ(a.localHour, b.localHour);
  EXPECT_EQ(a.localMinute, b.localMinute);
  EXPECT_EQ(a.localSecond, b.localSecond);
  EXPECT_EQ(a.speedKnots, b.speedKnots);
  EXPECT_EQ(a.satellites, b.satellites);
  // Bitwise, so that even a NaN read from the text compares.
  EXPECT_EQ(std::bit_cast<std::uint64_t>(a.hdop), std::bit_cast<std::uint64_t>(b.hdop));
  EXPECT_EQ(std::bit_cast<std::uint64_t>(a.altitude), std::bit_cast<std::uint64_t>(b.altitude));
  ExpectSameText(a.latitudeText, b.latitudeText, "latitudeText");
  ExpectSameText(a.latitudeDegrees, b.latitudeDegrees, "latitudeDegrees");
  ExpectSameText(a.longitudeText, b.longitudeText, "longitudeText");
  ExpectSameText(a.longitudeDegrees, b.longitudeDegrees, "longitudeDegrees");
  ExpectSameText(a.courseText, b.courseText, "courseText");
  EXPECT_EQ(a.ggaSentence.offset, b.ggaSentence.offset);
  EXPECT_EQ(a.ggaSentence.length, b.ggaSentence.length);
  EXPECT_EQ(a.rmcSentence.offset, b.rmcSentence.offset);
  EXPECT_EQ(a.rmcSentence.length, b.rmcSentence.length);
}

struct Outcome {
  std::vector<FixRecord> records;
  std::int32_t fixCounter;
};

Outcome Parse(const std::shared_ptr<const std::string>& text, std::int32_t firstNumber, std::size_t minimumSize) {
  AppState state;
  state.fixCounter = firstNumber;
  state.rawLogText = text;
  ParseRawLogText(state, minimumSize);
  return {state.fixList.Records(), state.fixCounter};
}

// Compares the split scan with the one-piece scan of the same text, for
// every way the text's middle can fall.
void ExpectSplitScanMatches(const std::string& text, std::int32_t firstNumber) {
  auto shared = std::make_shared<const std::string>(text);
  Outcome whole = Parse(shared, firstNumber, kNeverSplit);
  Outcome split = Parse(shared, firstNumber, 0);
  EXPECT_EQ(split.fixCounter, whole.fixCounter);
  ASSERT_EQ(split.records.size(), whole.records.size());
  for (std::size_t i = 0; i < whole.records.size(); ++i) {
    SCOPED_TRACE("record " + std::to_string(i));
    ExpectSameRecord(split.records[i], whole.records[i]);
  }
}

std::string Lines(const std::vector<std::string>& lines, const char* end) {
  std::string text;
  for (const auto& line : lines) text += line + end;
  return text;
}

struct SplitCase {
  const char* name;
  std::string block;  // the text around the middle
};

// Texts whose middle falls on every byte of an awkward block in turn: the
// block lies between a plain pair and, optionally, another one, with filler
// lines before and after it whose lengths add up to the same sum. Every text
// ends with a line without LF.
TEST(ParseRawLogText, SplitScanMatchesOnePieceScan) {
  const std::string longLine(1030, 'x');
  const SplitCase cases[] = {
      {"GGA without RMC, then RMC lines before the next GGA",
       Lines({kGga, kRmc, kGgaOther, kRmcOther, kRmc, kGga, kRmcOther}, "\r\n")},
      {"both identifiers on one line", Lines({kGga, kGga + kRmcOther, kRmc, kRmcOther + kGgaOther, kRmc}, "\r\n")},
      {"Checksum lines with a GGA identifier",
       Lines({kGga, "Checksum " + kGgaOther, kRmc, kGgaOther + " Checksum", kRmcOther, kGga, kRmc}, "\r\n")},
      {"GGA beyond the line length", Lines({kGga, longLine + kGgaOther, kRmc, longLine + kRmc, kGga, kRmc}, "\r\n")},
      {"GGA within the line length of a long line", Lines({kGga, kGgaOther + longLine, kRmc}, "\r\n")},
      {"LF-only lines and lone CRs", Lines({kGga, kRmc, "\r", kGgaOther + "\r\r", kRmcOther, "", kGga, kRmc}, "\n")},
      {"no GGA after the middle", Lines({kGga, kRmc, kRmcOther, "$GPGSA,A,3*00", kRmc}, "\r\n")},
      {"GGA lines without a comma", Lines({"$GPGGA", kRmc, "--1$GPGGA", kRmcOther, "$GPGGA$GPRMC", kGga, kRmc}, "\n")},
  };
  const std::string head = Lines({kGga, kRmc}, "\r\n");
  for (const auto& c : cases) {
    for (bool pairAfter : {false, true}) {
      std::string after = pairAfter ? Lines({kGgaOther, kRmcOther}, "\r\n") : "";
      std::size_t filler = 2 * (head.size() + c.block.size() + after.size() + kRmcOther.size());
      for (std::size_t before = 0; before <= filler; ++before) {
        std::string text = head + std::string(before, '.') + "\n" + c.block + std::string(filler - before, ',') +
                           "\n" + after + kGga;
        for (std::int32_t firstNumber : {1, 2147483640}) {
          SCOPED_TRACE(std::string(c.name) + ", filler before " + std::to_string(before) + ", first number " +
                       std::to_string(firstNumber) + (pairAfter ? ", pair after" : ""));
          ExpectSplitScanMatches(text, firstNumber);
          if (::testing::Test::HasFailure()) return;
        }
      }
    }
  }
}

TEST(ParseRawLogText, SplitScanOfManyPairsKeepsOrderAndNumbers) {
  std::string text;
  for (int i = 0; i < 5000; ++i) {
    text += (i % 7 == 0 ? kGgaOther : kGga) + "\r\n";
    if (i % 11 != 0) text += (i % 3 == 0 ? kRmcOther : kRmc) + "\r\n";
  }
  ExpectSplitScanMatches(text, 1);

  AppState state;
  state.rawLogText = std::make_shared<const std::string>(text);
  ParseRawLogText(state, 0);
  ASSERT_FALSE(state.fixList.Empty());
  for (std::size_t i = 1; i < state.fixList.Size(); ++i) {
    ASSERT_LT(state.fixList[i - 1].sequence, state.fixList[i].sequence) << "record " << i;
  }
  EXPECT_EQ(state.fixCounter, 5001);
}

TEST(ParseRawLogText, DoesNothingWithoutText) {
  AppState state;
  state.fixCounter = 7;
  ParseRawLogText(state, 0);
  EXPECT_TRUE(state.fixList.Empty());
  EXPECT_EQ(state.fixCounter, 7);
}

}  // namespace
}  // namespace quillon
