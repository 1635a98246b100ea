#include "export/CsvWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <sstream>

#include "export/FixText.h"
#include "tests/export/ExportTestSupport.h"

namespace quillon {
namespace {

using testing::Fix;
using testing::SetLocal;
using testing::SetUtc;

const std::string kHeaderLine = std::string(kCsvHeader) + "\r\n";

std::string Csv(const FixList& list, bool useLocalTime = false) {
  std::ostringstream out;
  WriteCsv(out, list, useLocalTime);
  return out.str();
}

FixRecord ExampleFix(const char* lon, const char* lat, int knots, const char* course, int sats, double hdop,
                     double altitude, int second) {
  FixRecord r = Fix(lon, 'W', lat, 'N');
  r.speedKnots = knots;
  r.courseText.Assign(course);
  r.satellites = sats;
  r.hdop = hdop;
  r.altitude = altitude;
  SetUtc(r, 2008, 3, 7, 14, 5, second);
  return r;
}

FixList ThreeFixExample() {
  return testing::ListBuilder()
      .Add(ExampleFix("121.509463", "25.052056", 10, "54.7", 8, 1.2, 35.6, 9))
      .Add(ExampleFix("121.509500", "25.052100", 6, "60.1", 8, 1.1, 36.1, 14))
      .Add(ExampleFix("121.509600", "25.052300", 5, "61.0", 9, 1.0, 36.4, 19))
      .Build();
}

TEST(CsvWriterTest, ThreeFixExampleGivesTheDocumentedBytes) {
  const std::string expected = kHeaderLine +
                               "-121.509463,25.052056,19,54.7,8,1.20,35.60,7/3/2008,14:5:9,0\n"
                               "-121.509500,25.052100,11,60.1,8,1.10,36.10,7/3/2008,14:5:14,6\n"
                               "-121.509600,25.052300,9,61.0,9,1.00,36.40,7/3/2008,14:5:19,24\n"
                               "Total distance : 30 meters";
  const std::string actual = Csv(ThreeFixExample());
  EXPECT_EQ(actual, expected);
  testing::ExpectMatchesGolden(actual, "export_three_fixes.csv");
}

TEST(CsvWriterTest, EmptySelectionGivesHeaderAndZeroTotal) {
  EXPECT_EQ(Csv(FixList()), kHeaderLine + "Total distance : 0 meters");
}

TEST(CsvWriterTest, OneFixHasDistanceZero) {
  FixList list = testing::ListBuilder().Add(ExampleFix("121.509463", "25.052056", 0, "", 0, 0, 0, 3)).Build();
  EXPECT_EQ(Csv(list), kHeaderLine + "-121.509463,25.052056,0,,0,0.00,0.00,7/3/2008,14:5:3,0\nTotal distance : 0 meters");
}

TEST(CsvWriterTest, OnlyUpperCaseHemisphereLettersGiveASign) {
  const std::tuple<char, char, const char*> cases[] = {
      {'W', 'S', "-1.000000,-2.000000,"}, {'E', 'N', "1.000000,2.000000,"},
      {'w', 's', "1.000000,2.000000,"},   {'\0', '\0', "1.000000,2.000000,"},
  };
  for (const auto& [ew, ns, start] : cases) {
    SCOPED_TRACE(::testing::Message() << "eastWest '" << ew << "' northSouth '" << ns << "'");
    FixList list = testing::ListBuilder().Add(Fix("1.000000", ew, "2.000000", ns)).Build();
    EXPECT_EQ(Csv(list).substr(kHeaderLine.size(), std::string(start).size()), start);
  }
}

TEST(CsvWriterTest, SpeedIsRoundedHalfAwayFromZero) {
  const std::pair<int, std::int64_t> cases[] = {{0, 0}, {10, 19}, {6, 11}, {5, 9}, {375, 695}, {1, 2}, {-375, -695}};
  for (const auto& [knots, kmh] : cases) {
    SCOPED_TRACE(knots);
    EXPECT_EQ(KnotsToKilometresPerHour(knots), kmh);
  }
}

TEST(CsvWriterTest, DateAndTimeHaveNoLeadingZerosAndFollowTheCheckBox) {
  FixRecord r = Fix("121.509463", 'E', "25.052056", 'N');
  SetUtc(r, 2008, 3, 7, 9, 5, 3);
  SetLocal(r, 2008, 3, 7, 17, 5, 3);
  FixRecord noLocal = r;
  SetLocal(noLocal, 2000, 0, 0, 0, 0, 0);  // local time could not be computed
  FixList list = testing::ListBuilder().Add(r).Add(noLocal).Build();

  std::istringstream utc(Csv(list, false));
  std::istringstream local(Csv(list, true));
  std::string line;
  std::getline(utc, line);
  std::getline(utc, line);
  EXPECT_NE(line.find(",7/3/2008,9:5:3,0"), std::string::npos) << line;
  std::getline(local, line);
  std::getline(local, line);
  EXPECT_NE(line.find(",7/3/2008,17:5:3,0"), std::string::npos) << line;
  std::getline(local, line);
  EXPECT_NE(line.find(",0/0/2000,0:0:0,0"), std::string::npos) << line;
}

TEST(CsvWriterTest, DistancesUseSignedCoordinates) {
  // 0.000100 degrees south and north at the same longitude: 200 micro-degrees
  // apart, 22 m.
  FixList equator = testing::ListBuilder()
                        .Add(Fix("10.000000", 'E', "0.000100", 'S'))
                        .Add(Fix("10.000000", 'E', "0.000100", 'N'))
                        .Build();
  const std::string text = Csv(equator);
  EXPECT_NE(text.find(",22\nTotal distance : 22 meters"), std::string::npos) << text;

  FixList meridian = testing::ListBuilder()
                         .Add(Fix("0.000500", 'W', "0.000000", 'N'))
                         .Add(Fix("0.000500", 'E', "0.000000", 'N'))
                         .Build();
  EXPECT_NE(Csv(meridian).find("Total distance : 111 meters"), std::string::npos);
}

TEST(CsvWriterTest, EmptyDegreeTextsReadAsZero) {
  FixList list = testing::ListBuilder().Add(Fix("", 'W', "", 'S')).Add(Fix("0.001000", 'E', "", 'N')).Build();
  EXPECT_EQ(Csv(list), kHeaderLine +
                           "-,-,0,,0,0.00,0.00,0/0/2000,0:0:0,0\n"
                           "0.001000,,0,,0,0.00,0.00,0/0/2000,0:0:0,111\n"
                           "Total distance : 111 meters");
}

// Texts copied from the log reach a spreadsheet as one cell each, never as
// a formula; numbers, the normal content, are written as they are.
TEST(CsvWriterTest, CellsFromTheLogAreSafeForSpreadsheets) {
  struct Case {
    const char* longitude;
    char eastWest;
    const char* course;
    const char* rowStart;
  };
  const Case cases[] = {
      {"1.500000", 'E', "54.7", "1.500000,2.000000,0,54.7,"},
      {"1.500000", 'W', "-12.5", "-1.500000,2.000000,0,-12.5,"},
      {"1.500000", 'E', "+7", "1.500000,2.000000,0,+7,"},
      {"1.500000", 'E', ".5", "1.500000,2.000000,0,.5,"},
      {"", 'W', "", "-,2.000000,0,,"},
      {"1.500000", 'E', "=1+2", "1.500000,2.000000,0,'=1+2,"},
      {"1.500000", 'E', "@SUM(A1)", "1.500000,2.000000,0,'@SUM(A1),"},
      {"1.500000", 'E', "-2+3", "1.500000,2.000000,0,'-2+3,"},
      {"1.500000", 'E', "+A1", "1.500000,2.000000,0,'+A1,"},
      {"1.500000", 'E', "\t1", "1.500000,2.000000,0,'\t1,"},
      {"1.500000", 'E', "1,5", "1.500000,2.000000,0,\"1,5\","},
      {"1.500000", 'E', "a\"b", "1.500000,2.000000,0,\"a\"\"b\","},
      {"1.500000", 'E', "1\r2", "1.500000,2.000000,0,\"1\r2\","},
      {"1.500000", 'E', "\r", "1.500000,2.000000,0,\"'\r\","},
      {"1.500000", 'E', "=a,\"b", "1.500000,2.000000,0,\"'=a,\"\"b\","},
      {"1+A1.5", 'W', "1", "'-1+A1.5,2.000000,0,1,"},
      {"=cmd.5", 'E', "1", "'=cmd.5,2.000000,0,1,"},
      {"-1.5", 'E', "1", "-1.5,2.000000,0,1,"},
      {"-1.5", 'W', "1", "'--1.5,2.000000,0,1,"},
      {"1,2.5", 'W', "1", "\"'-1,2.5\",2.000000,0,1,"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "longitude '" << c.longitude << "' course '" << c.course << "'");
    FixRecord r = Fix(c.longitude, c.eastWest, "2.000000", 'N');
    r.courseText.Assign(c.course);
    const std::string row = Csv(testing::ListBuilder().Add(r).Build()).substr(kHeaderLine.size());
    EXPECT_EQ(row.substr(0, std::string(c.rowStart).size()), c.rowStart);
    EXPECT_NE(row.find(",0/0/2000,0:0:0,0\nTotal distance : 0 meters"), std::string::npos) << row;
  }
}

// A row as it was first built, through std::string appends and the
// library's conversions: the reference the pointer-based writer must match.
std::string ReferenceRow(const FixRecord& r, bool local) {
  auto cell = [](std::string_view sign, std::string_view text) {
    std::string_view number = sign.empty() && !text.empty() && (text[0] == '-' || text[0] == '+') ? text.substr(1) : text;
    const bool plain = number.find_first_not_of("0123456789.") == std::string_view::npos &&
                       number.find_first_of("0123456789") != std::string_view::npos &&
                       std::count(number.begin(), number.end(), '.') <= 1;
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos;
    const char first = sign.empty() ? (text.empty() ? '\0' : text[0]) : sign[0];
    const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(first) != std::string_view::npos && !plain;
    std::string out = std::string(quote ? "\"" : "") + (formula ? "'" : "") + std::string(sign);
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + (quote ? "\"" : "");
  };
  auto twoDecimals = [](double value) {
    char text[400];
    return std::string(text, std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2).ptr);
  };
  const int date[6] = {local ? r.localDay : r.utcDay,   local ? r.localMonth : r.utcMonth,
                       2000 + (local ? r.localYear : r.utcYear), local ? r.localHour : r.utcHour,
                       local ? r.localMinute : r.utcMinute, local ? r.localSecond : r.utcSecond};
  std::string row = cell(IsWest(r) ? "-" : "", r.longitudeDegrees.View()) + "," +
                    cell(IsSouth(r) ? "-" : "", r.latitudeDegrees.View()) + "," +
                    std::to_string(KnotsToKilometresPerHour(r.speedKnots)) + "," + cell("", r.courseText.View()) +
                    "," + std::to_string(r.satellites) + "," + twoDecimals(r.hdop) + "," + twoDecimals(r.altitude);
  for (int i = 0; i < 6; ++i) row += ",//,::"[i] + std::to_string(date[i]);
  return row + ",0\n";
}

// Random cells with every character the quoting rules look at, numbers of
// all signs and sizes, and date fields beyond their normal ranges.
TEST(CsvWriterTest, RowsMatchTheRowsBuiltThroughStringAppends) {
  std::mt19937_64 random(17);
  const std::string alphabet = "0123456789012345678901234567890123456789....,\"\r\n=+-@\tx ";
  auto text = [&](std::size_t most) {
    std::string t(random() % (most + 1), ' ');
    for (char& c : t) c = alphabet[random() % alphabet.size()];
    return t;
  };
  auto byte = [&] { return static_cast<std::uint8_t>(random() % 4 == 0 ? random() : random() % 100); };
  for (int i = 0; i < 20000; ++i) {
    FixRecord r = Fix(text(14), "EWSN"[random() % 4], text(14), "NSEW"[random() % 4]);
    r.courseText.Assign(text(9));
    r.speedKnots = static_cast<std::int32_t>(i == 0 ? std::numeric_limits<std::int32_t>::min() : random() % 2000);
    r.satellites = static_cast<std::int32_t>(i == 0 ? std::numeric_limits<std::int32_t>::max() : random() % 40) - 5;
    r.hdop = static_cast<double>(static_cast<std::int64_t>(random() % 100000) - 50000) / 100.0;
    r.altitude = (random() % 2 ? -1.0 : 1.0) * std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 90) - 60);
    for (std::uint8_t* field : {&r.utcYear, &r.utcMonth, &r.utcDay, &r.utcHour, &r.utcMinute, &r.utcSecond,
                                &r.localMonth, &r.localDay, &r.localHour, &r.localMinute, &r.localSecond}) {
      *field = byte();
    }
    r.localYear = static_cast<std::int16_t>(random() % 3 == 0 ? random() : random() % 100);
    const bool local = random() % 2;
    ASSERT_EQ(Csv(testing::ListBuilder().Add(r).Build(), local),
              kHeaderLine + ReferenceRow(r, local) + "Total distance : 0 meters")
        << "row " << i;
  }
}

// Two decimals as the exact conversion of the double gives them, also for
// halves that are not exact in binary, signs of values that round to zero and
// values where a shortcut through value * 100 would round wrongly.
TEST(CsvWriterTest, TwoDecimalsMatchTheExactConversion) {
  auto exact = [](double value) {
    char text[400];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    return ec == std::errc() ? std::string(text, end) : std::string();
  };
  std::vector<double> values = {0.0,     -0.0,    1.0,     45.3,     0.125,   0.375,   2.675,   1.005,
                                0.005,   -0.004,  -0.005,  -1.995,   99.995,  1e15,    -1e15,   9.99e14 + 0.125,
                                1e300,   -1e-300, 123456789.125, 4503599627370495.5,
                                std::numeric_limits<double>::infinity(), std::numeric_limits<double>::quiet_NaN()};
  std::mt19937_64 random(3);
  for (int i = 0; i < 20000; ++i) {
    // Log-like numbers with up to four decimals, and arbitrary doubles.
    values.push_back(static_cast<double>(static_cast<std::int64_t>(random() % 20000001) - 10000000) /
                     std::pow(10.0, static_cast<double>(random() % 5)));
    values.push_back(std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 80) - 60));
  }
  for (double value : values) {
    std::string text;
    AppendTwoDecimals(text, value);
    EXPECT_EQ(text, exact(value)) << value;
  }
}

TEST(CsvWriterTest, TwoThreadsGiveTheBytesOfOne) {
  // Rows whose distances and totals depend on the row before, across the
  // edges of the blocks that the two threads take in turn.
  std::mt19937 random(7);
  for (std::size_t size : {2, 3, 101, 1000}) {
    testing::ListBuilder builder;
    for (std::size_t i = 0; i < size; ++i) {
      const std::string lon = "121." + std::to_string(100000 + random() % 900000);
      const std::string lat = "25." + std::to_string(100000 + random() % 900000);
      FixRecord r = ExampleFix(lon.c_str(), lat.c_str(), static_cast<int>(random() % 90), "54.7", 8, 1.2, 35.6,
                               static_cast<int>(i % 60));
      r.eastWest = random() % 2 ? 'E' : 'W';
      builder.Add(r);
    }
    const FixList list = builder.Build();
    for (bool local : {false, true}) {
      SCOPED_TRACE(std::to_string(size) + " rows, local " + std::to_string(local));
      std::ostringstream onePiece;
      WriteCsv(onePiece, list, local, std::numeric_limits<std::size_t>::max());
      for (std::size_t blockRows : {std::size_t{1}, std::size_t{7}, std::size_t{64}, kCsvBlockRows}) {
        SCOPED_TRACE("blocks of " + std::to_string(blockRows));
        std::ostringstream twoThreads;
        WriteCsv(twoThreads, list, local, 0, blockRows);
        EXPECT_EQ(twoThreads.str(), onePiece.str());
      }
    }
  }
}

TEST(CsvWriterTest, FileNameComesFromStampAndSerial) {
  AppState state;
  state.logStamp = "20080307140509";
  state.logSerial = 4294967295u;
  EXPECT_EQ(CsvFileName(state), "20080307140509_LogData_4294967295.csv");
}

}  // namespace
}  // namespace quillon
