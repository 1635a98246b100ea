// The CSV table made straight from a raw log, piece by piece, against the
// table of the Selection List that parsing and selecting the same log gives.

#include "export/CsvOfRawLog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "export/CsvWriter.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogParser.h"
#include "logdata/RawLogPieces.h"
#include "tests/export/ExportTestSupport.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon {
namespace {

// Lines of every kind the parser treats apart, strung together at random, so
// that the pieces' edges fall between and inside records of every shape.
std::string RandomLog(unsigned seed, std::size_t lines) {
  const std::vector<std::string> kinds = {
      "---,$GPGGA,235958.000,2503.1234,N,12130.5678,E,1,08,1.2,45.3,M,15.0,M,,0000*6C\r\n",
      "---,$GPRMC,235958.000,A,2503.1234,N,12130.5678,E,0.12,123.45,311207,,,A*67\r\n",
      "--7,$GPGGA,000001.000,2503.1334,S,12130.5778,W,1,09,1.2,46.1,M,15.0,M,,0000*6D\n",
      "--7,$GPRMC,000001.000,A,2503.1334,S,12130.5778,W,12.7,124.00,010108,,,A*67\n",
      "-12,$GPGGA,120000.000,5230.0000,N,01324.0000,E,1,07,0.9,40.0,M,47.0,M,,0000*66\r\n",
      "-12,$GPRMC,120000.000,A,5230.0060,N,01324.0090,E,1.5,90.0,300308,,,A*58\r\n",
      "$GPGGA,010203,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\n",
      "$GPRMC,010203,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\n",
      "---,$GPGGA,235959.000,2503.1434,N,12130.5878,E,1,09,1.2,47.0,M,15.0,M,,0000*6D"
      "---,$GPRMC,235959.000,A,2503.1434,N,12130.5878,E,3.0,1.0,311207,,,A*67\r\n",
      "Checksum error $GPGGA,000000.000,0000.0000,N,00000.0000,E,1,01,9.9,0.0,M,0.0,M,,*00\r\n",
      "@Logger memory dump\r\n",
      "\r\n",
      "--5,$GPRMC,080000.000,A,=1+2,N,\"12\"30.0,E,7,@cmd,150609,,,A*00\n",
      std::string(1100, 'x') + ",$GPGGA,000000.000,1111.1111,N,02222.2222,E,1,01,1.0,1.0,M,0.0,M,,*00\n",
  };
  std::mt19937 random(seed);
  std::string log;
  for (std::size_t i = 0; i < lines; ++i) log += kinds[random() % kinds.size()];
  // A last line without its line end is no line.
  log += "---,$GPRMC,235958.000,A,2503.1234,N,12130.5678,E,0.12,123.45,311207,,,A*67";
  return log;
}

struct Range {
  const char* name;
  std::uint8_t mode;
  std::array<std::string, 8> dates;
  std::string tag;
  bool useLocalTime;
};

const Range kRanges[] = {
    {"all", kRangeAllMode, {}, "", false},
    {"all, local", kRangeAllMode, {}, "", true},
    {"dates", kRangeByDateMode, {"2007", "12", "31", "23", "2008", "1", "1", "0"}, "", false},
    {"dates, local", kRangeByDateMode, {"2008", "1", "1", "0", "2008", "12", "31", "24"}, "", true},
    {"tag 7", kRangeByTagMode, {}, "7", false},
    {"tag 12", kRangeByTagMode, {}, "12", true},
    {"tag 999", kRangeByTagMode, {}, "999", false},
};

// The table the window's way: the Fix List, then the Selection List.
std::string CsvThroughTheLists(const std::string& log, const RangeRequest& request) {
  AppState state;
  state.rawLogText = MakeSharedText(log);
  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);
  const RangeOutcome outcome = PrepareSelection(state, request);
  if (outcome == RangeOutcome::kNoFixes) return "";
  EXPECT_EQ(outcome, RangeOutcome::kSelected);
  std::ostringstream out;
  WriteCsv(out, state.selectionList, request.useLocalTime);
  return out.str();
}

TEST(CsvOfRawLogTest, PiecesGiveTheBytesOfTheLists) {
  testing::TimeZoneScope zone("Europe/Berlin");
  std::vector<std::pair<std::string, std::string>> logs = {
      {"sample_rawlog.txt", testing::ReadFileBytes(testing::TestDataPath("sample_rawlog.txt"))},
      {"logdata_tagged.txt", testing::ReadFileBytes(testing::TestDataPath("logdata_tagged.txt"))},
      {"export_berlin_dst.txt", testing::ReadFileBytes(testing::TestDataPath("export_berlin_dst.txt"))},
      {"random 1", RandomLog(1, 60)},
      {"random 2", RandomLog(2, 400)},
      // Stretches without a GGA line, pieces long, between fixes: one with
      // a record waiting across it, one of RMC lines only.
      {"a record across a long stretch", RandomLog(4, 20) + "--7,$GPGGA,000001.000,2503.1334,S,12130.5778,W,1,09\n" +
                                             std::string(9000, 'x') + "\n" + std::string(300, '\n') +
                                             "--7,$GPRMC,000001.000,A,2503.1334,S,12130.5778,W,1,2,010108\n" +
                                             RandomLog(5, 20)},
      {"RMC lines between fixes", RandomLog(6, 20) +
                                      [] {
                                        std::string rmc;
                                        for (int i = 0; i < 200; ++i) rmc += "$GPRMC,000001.000,A,1,N,2,E,1,2,010108\n";
                                        return rmc;
                                      }() +
                                      RandomLog(7, 20)},
  };
  for (const auto& [logName, log] : logs) {
    for (const Range& range : kRanges) {
      RangeRequest request;
      request.mode = range.mode;
      request.dateTexts = range.dates;
      request.tagText = range.tag;
      request.useLocalTime = range.useLocalTime;
      RangeFilter filter;
      ASSERT_EQ(MakeRangeFilter(request, filter), RangeOutcome::kSelected);
      const std::string expected = CsvThroughTheLists(log, request);
      // Pieces of a byte or a few only for the short logs: each piece is a
      // handoff between the threads.
      const std::vector<std::size_t> pieceSizes =
          log.size() < 2000 ? std::vector<std::size_t>{1, 7, 500, kCsvPieceSize}
                            : std::vector<std::size_t>{37, 500, 4096, kCsvPieceSize};
      for (std::size_t pieceSize : pieceSizes) {
        SCOPED_TRACE(logName + ", " + range.name + ", pieces of " + std::to_string(pieceSize));
        std::ostringstream out;
        const std::size_t fixes = WriteCsvOfRawLog(out, TextSource(log), filter, range.useLocalTime, pieceSize);
        EXPECT_EQ(out.str(), expected);
        EXPECT_EQ(fixes > 0, !expected.empty());
      }
      // A log that gives fewer bytes than its size (cut shorter while it is
      // read) gives the table of what it gave.
      const std::size_t given = log.size() * 2 / 3;
      RawLogSource cut = TextSource(std::string_view(log).substr(0, given));
      cut.size = log.size();
      std::ostringstream out;
      WriteCsvOfRawLog(out, cut, filter, range.useLocalTime, 500);
      EXPECT_EQ(out.str(), CsvThroughTheLists(log.substr(0, given), request)) << logName << ", cut";
    }
  }
}

// Logs whose LFs are rare or missing: each piece may not read on to the next
// distant LF, or the pieces together read the log over and over. The bytes
// read are counted, and stay within a few times the log's size.
TEST(CsvOfRawLogTest, LogsWithFewLineFeedsAreReadInProportionToTheirSize) {
  std::string crOnly = RandomLog(8, 3000);
  for (char& c : crOnly) c = c == '\n' ? '\r' : c;
  std::string sparse = RandomLog(10, 100);
  for (int i = 0; i < 8; ++i) sparse += std::string(50000, '\xff') + "\n";
  const std::pair<const char*, std::string> logs[] = {
      {"CR line ends only", crOnly},
      {"fixes, then erased memory", RandomLog(9, 400) + std::string(400000, '\xff')},
      {"erased memory, then fixes", std::string(400000, '\xff') + RandomLog(11, 400)},
      {"LFs far apart", sparse},
  };
  RangeRequest request;
  request.mode = kRangeAllMode;
  RangeFilter all;
  ASSERT_EQ(MakeRangeFilter(request, all), RangeOutcome::kSelected);
  constexpr std::size_t kPieceSize = 4096;
  for (const auto& [name, log] : logs) {
    SCOPED_TRACE(name);
    const RawLogSource text = TextSource(log);
    std::atomic<std::uint64_t> read{0};
    const RawLogSource counted{log.size(), [&](std::uint64_t offset, char* to, std::size_t count) {
                                 const std::size_t n = text.read(offset, to, count);
                                 read += n;
                                 return n;
                               }};
    std::ostringstream out;
    WriteCsvOfRawLog(out, counted, all, false, kPieceSize);
    EXPECT_EQ(out.str(), CsvThroughTheLists(log, request));
    // Each piece reads its own bytes and a little beyond. A piece before a
    // long stretch without a fix, or with a lone LF in it, reads on to the
    // second LF after it in ever longer reads: a few times the stretch at
    // most, once. Reading each piece on to where the next starts costs as
    // many times the log as it has pieces (here about a hundred).
    const std::uint64_t pieces = PieceCount(log.size(), kPieceSize);
    EXPECT_LE(read.load(), 10 * log.size() + pieces * 2048) << "of " << log.size() << " bytes";
    read = 0;
    RawLogHoldsAFix(counted, kPieceSize);
    EXPECT_LE(read.load(), 10 * log.size() + pieces * 2048) << "of " << log.size() << " bytes, looking for a fix";
  }
}

TEST(CsvOfRawLogTest, ALogWithoutAFixWritesNothing) {
  RangeRequest request;
  request.mode = kRangeAllMode;
  RangeFilter all;
  ASSERT_EQ(MakeRangeFilter(request, all), RangeOutcome::kSelected);
  for (const std::string& log : {std::string(), std::string("no sentences here\r\n"),
                                std::string("---,$GPRMC,235958.000,A,2503.1234,N,12130.5678,E,0,1,311207,,,A*67\n"),
                                std::string("---,$GPGGA,235958.000,2503.1234,N,12130.5678,E,1,08,1.2,45.3,M\n")}) {
    SCOPED_TRACE(log);
    std::ostringstream out;
    EXPECT_EQ(WriteCsvOfRawLog(out, TextSource(log), all, false, 16), 0u);
    EXPECT_EQ(out.str(), "");
    EXPECT_FALSE(RawLogHoldsAFix(TextSource(log), 16));
  }
  // A fix far into the text, after many pieces without one.
  const std::string late = std::string(5000, '\n') + RandomLog(3, 40);
  EXPECT_TRUE(RawLogHoldsAFix(TextSource(late), 16));
}

}  // namespace
}  // namespace quillon
