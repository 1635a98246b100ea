#include "logdata/NmeaParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "logdata/NumberText.h"


namespace quillon {
namespace {

struct TagCase {
  std::string field;
  std::uint16_t before;
  std::uint16_t expected;
};

TEST(TagFieldRule, ReadsTheTagShapes) {
  const TagCase cases[] = {
      {"---", 0, kNoTag},  {"--7", 0, 7},     {"-12", 0, 12},     {"123", 0, 123},    {"300", 0, 300},
      {"999", 0, 999},     {"556", 0, 556},   {"--0", 9, 0},      {"-1-", 9, 9},      {"1--", 9, 9},
      {"1-2", 9, 9},       {"-", 9, 0},       {"--", 9, 0},       {"", 9, 0},         {"-0-", 5, 5},
      {"abc", 9, 0},       {"--255", 0, 255}, {"--256", 0, 256},  {"1000", 0, 999},   {"   -5", 9, 0},
      {"9999999999999999999999", 0, 999},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("tag field \"" + c.field + "\"");
    FixRecord record;
    record.tag = c.before;
    ApplyTagField(c.field, record);
    EXPECT_EQ(record.tag, c.expected);
    EXPECT_EQ(record.untagged, c.field == "---");
  }
}

TEST(TagFieldRule, ANumberAfterThreeMinusSignsIsATagAgain) {
  FixRecord record;
  ApplyTagField("---", record);
  ApplyTagField("-45", record);
  EXPECT_EQ(record.tag, 45);
  EXPECT_FALSE(record.untagged);
}

struct DegreesCase {
  std::string text;
  std::string expected;
};

TEST(ToDecimalDegrees, ConvertsMinutesWithFourDecimals) {
  const DegreesCase cases[] = {
      {"2503.1234", "25.052056"},  {"12130.5678", "121.509463"}, {"0000.0000", "00.000000"},
      {"9959.9999", "99.999998"},  {"00833.9150", "008.565250"}, {"4717.1140", "47.285233"},
      {"2560.0000", "25.1000000"}, {"12345678901.1234", "123456789.0187"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("coordinate \"" + c.text + "\"");
    FixedText<15> out;
    ToDecimalDegrees(c.text, out);
    EXPECT_EQ(out.View(), c.expected);
  }
}

TEST(ToDecimalDegrees, NormalisesTheDecimalsToFour) {
  const DegreesCase cases[] = {
      {"2503.12", "25.052000"},     {"2503.1", "25.051666"},    {"2503.", "25.050000"},
      {"4717.11399", "47.285231"},  {"4717.113999999", "47.285231"}, {"2503.12N", "25.052000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("coordinate \"" + c.text + "\"");
    FixedText<15> out;
    ToDecimalDegrees(c.text, out);
    EXPECT_EQ(out.View(), c.expected);
  }
}

TEST(ToDecimalDegrees, GivesEmptyTextWhereNoDegreesCanBeRead) {
  for (std::string text : {"", "2", "25", ".1234", "2.1234", "x.", "."}) {
    SCOPED_TRACE("coordinate \"" + text + "\"");
    FixedText<15> out;
    out.Assign("stale");
    ToDecimalDegrees(text, out);
    EXPECT_EQ(out.View(), "");
  }
}

TEST(ToDecimalDegrees, TextWithoutPointUsesMinutesAndWhatFollowsTheThirdCharacter) {
  const DegreesCase cases[] = {{"2503", ".421666"}, {"250", ".416666"}, {"2501234", ".418723"}};
  for (const auto& c : cases) {
    SCOPED_TRACE("coordinate \"" + c.text + "\"");
    FixedText<15> out;
    ToDecimalDegrees(c.text, out);
    EXPECT_EQ(out.View(), c.expected);
  }
}

// The conversion as it was first written, through sub-texts and printf: the
// reference the one-pass form must agree with.
std::string DecimalDegreesBySubTexts(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos ? text.size() < 3 : dot < 2) return "";
  const std::size_t minutesAt = dot == std::string_view::npos ? 0 : dot - 2;
  const std::string_view decimals = text.substr(dot == std::string_view::npos ? 3 : dot + 1);
  std::string digits = std::string(text.substr(minutesAt, 2)) + "0000";
  for (std::size_t i = 0; i < 4 && i < decimals.size() && decimals[i] >= '0' && decimals[i] <= '9'; ++i) {
    digits[2 + i] = decimals[i];
  }
  char millionths[16];
  std::snprintf(millionths, sizeof millionths, "%06d", static_cast<int>(LeadingInt(digits) * 10 / 6));
  return (std::string(text.substr(0, std::min<std::size_t>(minutesAt, 14))) + "." + millionths).substr(0, 14);
}

TEST(ToDecimalDegrees, AgreesWithTheConversionThroughSubTexts) {
  std::vector<std::string> texts = {"", ".", "2503.1234", "-503.1234", " 503.1", "2 03.12", "25ab.1234",
                                    "2503.12a4", "123456789012345.1", std::string("25\0" "3.12", 7)};
  std::mt19937 random(5);
  const std::string alphabet = "0123456789012345678901234567890123456789..-+ aN";
  for (int i = 0; i < 50000; ++i) {
    texts.emplace_back(random() % 17, ' ');
    for (char& c : texts.back()) c = alphabet[random() % alphabet.size()];
  }
  for (const std::string& text : texts) {
    FixedText<15> actual;
    ToDecimalDegrees(text, actual);
    ASSERT_EQ(actual.View(), DecimalDegreesBySubTexts(text)) << "coordinate \"" << text << "\"";
  }
}

constexpr std::string_view kGga = "$GPGGA,064506.250,2503.1234,N,12130.5678,E,1,08,1.5,45.3,M,15.0,M,,0000*6A";
constexpr std::string_view kRmc = "$GPRMC,064507.000,A,2503.2234,S,12130.6678,W,12.7,123.45,120308,,,A*6B";

TEST(ParseGgaSentence, FillsTheGgaFieldsAndCountsTheFix) {
  FixRecord record;
  std::int32_t counter = 41;
  ParseGgaSentence(kGga, false, record, counter, kGga.data());
  EXPECT_EQ(record.sequence, 41);
  EXPECT_EQ(counter, 42);
  EXPECT_EQ(record.tag, 0);
  EXPECT_EQ(record.utcHour, 6);
  EXPECT_EQ(record.utcMinute, 45);
  EXPECT_EQ(record.utcSecond, 6);
  EXPECT_EQ(record.latitudeText.View(), "2503.1234");
  EXPECT_EQ(record.latitudeDegrees.View(), "25.052056");
  EXPECT_EQ(record.northSouth, 'N');
  EXPECT_EQ(record.longitudeText.View(), "12130.5678");
  EXPECT_EQ(record.longitudeDegrees.View(), "121.509463");
  EXPECT_EQ(record.eastWest, 'E');
  EXPECT_EQ(record.satellites, 8);
  EXPECT_DOUBLE_EQ(record.hdop, 1.5);
  EXPECT_DOUBLE_EQ(record.altitude, 45.3);
  EXPECT_EQ(record.ggaSentence.offset, 0u);
  EXPECT_EQ(record.ggaSentence.length, kGga.size());
}

TEST(ParseGgaSentence, WithTagFieldNumbersFromZeroAndSpansFromTheIdentifier) {
  std::string line = "-12," + std::string(kGga);
  std::string raw = "xyz" + line;  // the line lies inside a larger text
  std::string_view lineView(raw.data() + 3, line.size());
  FixRecord record;
  std::int32_t counter = 1;
  ParseGgaSentence(lineView, true, record, counter, raw.data());
  EXPECT_EQ(record.tag, 12);
  EXPECT_EQ(record.ggaSentence.offset, 7u);
  EXPECT_EQ(std::string_view(raw).substr(record.ggaSentence.offset, record.ggaSentence.length), kGga);
  EXPECT_EQ(record.satellites, 8);
  EXPECT_DOUBLE_EQ(record.altitude, 45.3);
}

// Fields padded to every length up to beyond a machine word, so that their
// commas fall at every place within the words the field scan reads; without
// its comma the altitude is no field.
TEST(ParseGgaSentence, FindsEveryFieldWhereverItsCommasFall) {
  // Up to 200 bytes: the later fields move across the edges of the 64-byte
  // comma maps, and the last one past the second.
  for (std::size_t padding = 0; padding < 50; ++padding) {
    for (bool cut : {false, true}) {
      const std::string zeros(padding, '0');
      const std::string sentence = "$GPGGA,064506.000,2503.1234,N,12130.5678,E," + zeros + "1," + zeros + "18,1.5" +
                                   zeros + ",45.3" + (cut ? "" : ",M,15.0,M,,0000*6A");
      SCOPED_TRACE(sentence);
      FixRecord record;
      std::int32_t counter = 1;
      ParseGgaSentence(sentence, false, record, counter, sentence.data());
      EXPECT_EQ(record.longitudeText.View(), "12130.5678");
      EXPECT_EQ(record.satellites, 18);
      EXPECT_EQ(record.hdop, 1.5);
      EXPECT_EQ(record.altitude, cut ? 0.0 : 45.3);
    }
  }
}

TEST(ParseGgaSentence, ASentenceWithoutFieldsStillCounts) {
  FixRecord record;
  std::int32_t counter = 7;
  std::string_view text = "$GPGGA";
  ParseGgaSentence(text, false, record, counter, text.data());
  EXPECT_EQ(counter, 8);
  EXPECT_EQ(record.sequence, 0);
  EXPECT_EQ(record.ggaSentence.length, 0);
}

TEST(ParseGgaSentence, CutsSentenceAndFieldsToTheirCapacities) {
  std::string longLatitude = "2503.1234" + std::string(70, '5');
  std::string text = "$GPGGA,064506," + longLatitude + ",N,12130.5678,E,1,08,1.5,45.3,M,15.0,M,," + std::string(100, 'x');
  FixRecord record;
  std::int32_t counter = 1;
  ParseGgaSentence(text, false, record, counter, text.data());
  EXPECT_EQ(record.latitudeText.View(), "2503.123455555");
  EXPECT_EQ(record.latitudeDegrees.View(), "25.052056");
  EXPECT_EQ(record.ggaSentence.length, kMaxSentenceLength);
  EXPECT_DOUBLE_EQ(record.altitude, 45.3);
}

TEST(ParseRmcSentence, CompletesTheRecordAndAppendsIt) {
  FixRecord record;
  std::int32_t counter = 1;
  ParseGgaSentence(kGga, false, record, counter, kGga.data());
  FixList list;
  std::string text = "--7," + std::string(kRmc);
  ParseRmcSentence(text, true, record, list, text.data());
  ASSERT_EQ(list.Size(), 1u);
  const FixRecord& r = list[0];
  EXPECT_EQ(r.tag, 7);
  EXPECT_EQ(r.utcHour, 6);
  EXPECT_EQ(r.utcMinute, 45);
  EXPECT_EQ(r.utcSecond, 7);
  EXPECT_EQ(r.utcDay, 12);
  EXPECT_EQ(r.utcMonth, 3);
  EXPECT_EQ(r.utcYear, 8);
  EXPECT_EQ(r.latitudeText.View(), "2503.2234");
  EXPECT_EQ(r.latitudeDegrees.View(), "25.053723");
  EXPECT_EQ(r.northSouth, 'S');
  EXPECT_EQ(r.longitudeText.View(), "12130.6678");
  EXPECT_EQ(r.longitudeDegrees.View(), "121.511130");
  EXPECT_EQ(r.eastWest, 'W');
  EXPECT_EQ(r.speedKnots, 12);
  EXPECT_EQ(r.courseText.View(), "123.45");
  EXPECT_EQ(r.satellites, 8);
  EXPECT_DOUBLE_EQ(r.hdop, 1.5);
  EXPECT_EQ(r.rmcSentence.offset, 4u);
  EXPECT_EQ(r.rmcSentence.length, kRmc.size());
}

TEST(ParseRmcSentence, EmptyFieldsGiveZeroAndEmptyText) {
  std::string_view text = "$GPRMC,,V,,,,,,,,,,N*53";
  FixRecord record;
  FixList list;
  ParseRmcSentence(text, false, record, list, text.data());
  ASSERT_EQ(list.Size(), 1u);
  const FixRecord& r = list[0];
  EXPECT_EQ(r.utcHour + r.utcMinute + r.utcSecond + r.utcDay + r.utcMonth + r.utcYear, 0);
  EXPECT_EQ(r.latitudeText.View(), "");
  EXPECT_EQ(r.latitudeDegrees.View(), "");
  EXPECT_EQ(r.longitudeDegrees.View(), "");
  EXPECT_EQ(r.northSouth, '\0');
  EXPECT_EQ(r.eastWest, '\0');
  EXPECT_EQ(r.speedKnots, 0);
  EXPECT_EQ(r.courseText.View(), "");
}

TEST(ParseRmcSentence, CourseKeepsNineCharacters) {
  std::string_view text = "$GPRMC,010203,A,2503.1234,N,12130.5678,E,3,123.45678901,010108,,,A*00";
  FixRecord record;
  FixList list;
  ParseRmcSentence(text, false, record, list, text.data());
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list[0].courseText.View(), "123.45678");
}

TEST(ParseRmcSentence, ConvertsOnlyTheCoordinateTextTheRecordKeeps) {
  // A NUL byte ends the kept text; the degrees must be those of that text,
  // whichever sentence set it first.
  std::string gga("$GPGGA,010203,25\0" "03.1234,N,12130.5678,E,1,08,1.5,45.3,M,,M,,*00", 64);
  std::string rmc = "$GPRMC,010203,A,25,N,12130.5678,E,3,90.0,010108,,,A*00";
  FixRecord record;
  std::int32_t counter = 1;
  ParseGgaSentence(gga, false, record, counter, gga.data());
  EXPECT_EQ(record.latitudeText.View(), "25");
  EXPECT_EQ(record.latitudeDegrees.View(), "");
  FixList list;
  ParseRmcSentence(rmc, false, record, list, rmc.data());
  ASSERT_EQ(list.Size(), 1u);
  EXPECT_EQ(list[0].latitudeDegrees.View(), "");
}

}  // namespace
}  // namespace quillon
