#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "api/DeviceCodes.h"
#include "orvex/LoggerRecord.h"
#include "orvex/NmeaRenderer.h"
#include "orvex/emulator/SyntheticTrack.h"
#include "tests/orvex/OrvexTestSupport.h"

namespace quillon::orvex::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char kLogName[] = "Rawdata/20081231235900_Rawdata_123456.txt";

std::string Expected(const std::vector<LoggerFix>& fixes, bool tagField) {
  std::string text;
  for (const auto& fix : fixes) RenderFix(fix, tagField, text);
  return text;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start) + "<no CR LF>");
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool IsDigits(const std::string& text, std::size_t at, std::size_t count) {
  if (text.size() < at + count) return false;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

// ddmm.mmmm (degreeDigits 2) or dddmm.mmmm (3): exactly four decimals of minutes.
bool IsCoordinate(const std::string& text, std::size_t degreeDigits) {
  return text.size() == degreeDigits + 7 && IsDigits(text, 0, degreeDigits + 2) && text[degreeDigits + 2] == '.' &&
         IsDigits(text, degreeDigits + 3, 4);
}

bool IsTagField(const std::string& text) {
  if (text == "---") return true;
  std::size_t digits = text.find_first_not_of('-');
  return text.size() == 3 && digits != std::string::npos && text[digits] != '0' && IsDigits(text, digits, 3 - digits);
}

std::vector<std::string> SplitCommas(const std::string& text) {
  std::vector<std::string> fields;
  std::stringstream in(text);
  std::string field;
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!text.empty() && text.back() == ',') fields.push_back("");
  return fields;
}

// Checks one line on its own terms: shape, four decimals of minutes and the
// checksum, computed here independently of the library.
void ExpectWellFormed(const std::string& line, bool tagField) {
  std::size_t dollar = line.find('$');
  ASSERT_NE(dollar, std::string::npos) << line;
  if (tagField) {
    ASSERT_EQ(dollar, 4u) << line;
    EXPECT_TRUE(IsTagField(line.substr(0, 3))) << line;
    EXPECT_EQ(line[3], ',') << line;
  } else {
    ASSERT_EQ(dollar, 0u) << line;
  }
  std::size_t star = line.size() - 3;
  ASSERT_EQ(line.rfind('*'), star) << line;
  unsigned sum = 0;
  for (std::size_t i = dollar + 1; i < star; ++i) sum ^= static_cast<unsigned char>(line[i]);
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02X", sum);
  EXPECT_EQ(line.substr(star + 1), hex) << line;

  auto fields = SplitCommas(line.substr(dollar, star - dollar));
  ASSERT_GE(fields.size(), 10u) << line;
  const bool gga = fields[0] == "$GPGGA";
  ASSERT_TRUE(gga || fields[0] == "$GPRMC") << line;
  EXPECT_TRUE(IsDigits(fields[1], 0, 6) && fields[1].substr(6) == ".000") << line;
  const std::size_t at = gga ? 2 : 3;
  const bool noPosition = fields[at].empty() && fields[at + 1].empty() && fields[at + 2].empty() && fields[at + 3].empty();
  const bool position = IsCoordinate(fields[at], 2) && (fields[at + 1] == "N" || fields[at + 1] == "S") &&
                        IsCoordinate(fields[at + 2], 3) && (fields[at + 3] == "E" || fields[at + 3] == "W");
  EXPECT_TRUE(noPosition || position) << line;
  if (!gga) {
    EXPECT_EQ(fields[2], noPosition ? "V" : "A") << line;
  }
}

class DumpTest : public OrvexFixture {
 protected:
  void Enter(const std::vector<std::string>& arguments) {
    StartEmulator(3, arguments);
    ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  }
  int Dump(const char* name = kLogName) { return Orvex().dumpDb(3, name); }
};

TEST_F(DumpTest, WritesEveryRecordAsGgaAndRmcWithTagFields) {
  Enter({"--fixes", "200"});
  ASSERT_FALSE(fs::exists("Rawdata"));
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  const std::string text = ReadFile(kLogName);
  EXPECT_EQ(text, Expected(SyntheticTrack(200), true));

  auto lines = Lines(text);
  ASSERT_EQ(lines.size(), 400u);
  for (const auto& line : lines) {
    SCOPED_TRACE(line);
    ExpectWellFormed(line, true);
  }
  // What the parser has to cope with is all there.
  EXPECT_NE(text.find("---,$GPGGA"), std::string::npos);
  EXPECT_NE(text.find("--5,$GPRMC"), std::string::npos);
  EXPECT_NE(text.find(",V,,,,,"), std::string::npos) << "no fix without a position";
  EXPECT_NE(text.find(",311208,"), std::string::npos);
  EXPECT_NE(text.find(",010109,"), std::string::npos) << "the track does not cross midnight";
  EXPECT_EQ(FilesUnder("Rawdata"), std::vector<std::string>{fs::path(kLogName).filename().string()});
}

TEST_F(DumpTest, WithoutTagFunctionLinesStartWithTheSentence) {
  Enter({"--fixes", "50"});
  SentSettings s;
  s.tagFunction = 0;
  ASSERT_EQ(SendSettings(s), code::kSettingSuccessful);
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  const std::string text = ReadFile(kLogName);
  EXPECT_EQ(text, Expected(SyntheticTrack(50), false));
  for (const auto& line : Lines(text)) ExpectWellFormed(line, false);
}

TEST_F(DumpTest, ThreeDigitTagsFromLongTracks) {
  Enter({"--fixes", "3200"});
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  const std::string text = ReadFile(kLogName);
  EXPECT_NE(text.find("\n-12,$GPGGA"), std::string::npos);
  EXPECT_NE(text.find("\n106,$GPGGA"), std::string::npos);
  EXPECT_EQ(Lines(text).size(), 6400u);
}

TEST_F(DumpTest, TrackFileFixesComeBackAsWritten) {
  const std::string track =
      "---,$GPGGA,101500.000,3351.1234,S,15112.5678,E,1,07,1.20,42.5,M,,M,,*00\r\n"
      "---,$GPRMC,101500.000,A,3351.1234,S,15112.5678,E,3.40,181.25,290208,,,A*00\r\n"
      "-12,$GPGGA,101505.000,3351.1300,S,15112.5601,E,1,08,0.90,-3.0,M,,M,,*00\r\n"
      "-12,$GPRMC,101505.000,A,3351.1300,S,15112.5601,E,0.00,0.00,290208,,,A*00\r\n"
      "$GPGGA,101510.000,5130.0001,N,00007.5000,W,1,05,2.00,11.0,M,,M,,*00\r\n"
      "$GPRMC,101510.000,A,5130.0001,N,00007.5000,W,12.70,90.00,290208,,,A*00\r\n";
  std::ofstream("track.nmea", std::ios::binary) << track;
  Enter({"--track", "track.nmea"});
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  auto lines = Lines(ReadFile(kLogName));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "---,$GPGGA,101500.000,3351.1234,S,15112.5678,E,1,07,1.20,42.5,M,,M,,*57");
  EXPECT_EQ(lines[3], "-12,$GPRMC,101505.000,A,3351.1300,S,15112.5601,E,0.00,0.00,290208,,,A*70");
  EXPECT_EQ(lines[5], "---,$GPRMC,101510.000,A,5130.0001,N,00007.5000,W,12.70,90.00,290208,,,A*70");
}

TEST_F(DumpTest, EmptyMemoryGivesAnEmptyLog) {
  Enter({"--fixes", "0"});
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  EXPECT_TRUE(fs::exists(kLogName));
  EXPECT_EQ(fs::file_size(kLogName), 0u);
}

TEST_F(DumpTest, NeverOverwritesAnExistingFile) {
  Enter({"--fixes", "10"});
  fs::create_directory("Rawdata");
  std::ofstream(kLogName) << "an older log";
  EXPECT_EQ(Dump(), code::kCantBuildDumpFile);
  EXPECT_EQ(ReadFile(kLogName), "an older log");
  EXPECT_EQ(FilesUnder("Rawdata").size(), 1u);
}

TEST_F(DumpTest, FileSystemFailuresHaveTheirCodes) {
  Enter({"--fixes", "10"});
  std::ofstream("Rawdata") << "a file where the folder should be";
  EXPECT_EQ(Dump(), code::kCantBuildStorDbFile);
  fs::remove("Rawdata");

  fs::create_directories("Rawdata/.20081231235900_Rawdata_123456.txt.part");
  EXPECT_EQ(Dump(), code::kCantBuildOutputFile);
  EXPECT_FALSE(fs::exists(kLogName));

  EXPECT_EQ(Dump(""), code::kCantBuildDumpFile);
  EXPECT_EQ(Dump(nullptr), code::kCantBuildDumpFile);
  // The logger is still there for the next attempt.
  EXPECT_EQ(Dump("Rawdata/second.txt"), code::kDumpSuccessful);
}

TEST_F(DumpTest, LeftoverTemporaryEntryIsReplacedNeverFollowed) {
  // What a crashed dump, or someone else, may have left under the temporary name.
  const std::string partName = "Rawdata/.20081231235900_Rawdata_123456.txt.part";
  struct Case {
    const char* what;
    bool linkToVictim;
    bool danglingLink;
  } cases[] = {
      {"link to another file", true, false},
      {"link to a file that does not exist yet", false, true},
      {"plain file from a crashed dump", false, false},
  };
  Enter({"--fixes", "20"});
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all("Rawdata");
    fs::remove_all("elsewhere");
    fs::create_directories("Rawdata");
    fs::create_directories("elsewhere");
    std::ofstream("elsewhere/victim.txt") << "precious";
    if (c.linkToVictim) fs::create_symlink(folder / "elsewhere/victim.txt", partName);
    if (c.danglingLink) fs::create_symlink(folder / "elsewhere/planted.txt", partName);
    if (!c.linkToVictim && !c.danglingLink) std::ofstream(partName) << "half a log";

    ASSERT_EQ(Dump(), code::kDumpSuccessful);
    EXPECT_EQ(ReadFile("elsewhere/victim.txt"), "precious");
    EXPECT_EQ(FilesUnder("elsewhere"), std::vector<std::string>{"victim.txt"});
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(kLogName))) << "the log is not a file of its own";
    EXPECT_EQ(ReadFile(kLogName), Expected(SyntheticTrack(20), true));
    EXPECT_EQ(FilesUnder("Rawdata"), std::vector<std::string>{fs::path(kLogName).filename().string()});
  }
}

TEST_F(DumpTest, CorruptBlockIsFetchedAgainAndTheFileIsRight) {
  Enter({"--fixes", "1000", "--corrupt-block", "2"});
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  EXPECT_EQ(ReadFile(kLogName), Expected(SyntheticTrack(1000), true));
}

TEST_F(DumpTest, UnplugMidDownloadGives12AndLeavesNoFile) {
  auto& emulator = StartEmulator(3, {"--fixes", "2000", "--unplug-after", "20000"});
  ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  auto start = Clock::now();
  EXPECT_EQ(Dump(), code::kDeviceNotReport);
  EXPECT_LT(std::chrono::duration<double>(Clock::now() - start).count(), 3.0);
  EXPECT_TRUE(FilesUnder("Rawdata").empty()) << "a partial log was left";
  EXPECT_EQ(emulator.WaitForExit(3000), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(portDir / "COM3")));
  EXPECT_EQ(Orvex().readMemoryUsedSize(nullptr), code::kDeviceNotReport);
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kComPortOpenError);
}

TEST_F(DumpTest, SlowLineDownloadsAtItsPace) {
  Enter({"--fixes", "100", "--baud", "115200"});
  auto start = Clock::now();
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GE(seconds, 100 * 32 * 10 / 115200.0);
  EXPECT_EQ(ReadFile(kLogName), Expected(SyntheticTrack(100), true));
}

TEST_F(DumpTest, FullMemoryDownloadsQuickly) {
  Enter({"--fixes", std::to_string(kRecordCapacity)});
  int used = 0;
  ASSERT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedRead);
  ASSERT_EQ(used, static_cast<int>(kMemoryBytes));
  auto start = Clock::now();
  ASSERT_EQ(Dump(), code::kDumpSuccessful);
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  std::printf("full memory (%u bytes, %u fixes) downloaded and written in %.2f s\n", kMemoryBytes, kRecordCapacity,
              seconds);
  EXPECT_LT(seconds, 15.0);
  EXPECT_EQ(ReadFile(kLogName), Expected(SyntheticTrack(static_cast<int>(kRecordCapacity)), true));
}

}  // namespace
}  // namespace quillon::orvex::testing
