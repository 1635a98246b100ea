#include "logdata/RawLogLoader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "logdata/NmeaParser.h"
#include "tests/logdata/LogdataTestSupport.h"
#include "tests/support/FakeWindowView.h"

namespace quillon {
namespace {

using testing::CrLfLines;
using testing::ParseText;

constexpr std::string_view kGgaA = "$GPGGA,010000,2503.1234,N,12130.5678,E,1,05,1.0,10.0,M,,M,,*41";
constexpr std::string_view kGgaB = "$GPGGA,010001,2503.1334,N,12130.5778,E,1,06,1.0,20.0,M,,M,,*42";
constexpr std::string_view kRmcA = "$GPRMC,010000,A,2503.1234,N,12130.5678,E,1.0,90.0,120308,,,A*43";
constexpr std::string_view kRmcB = "$GPRMC,010001,A,2503.1334,N,12130.5778,E,2.0,91.0,120308,,,A*44";

std::string Tagged(std::string_view tag, std::string_view sentence) { return std::string(tag) + "," + std::string(sentence); }

struct ScanCase {
  const char* name;
  std::string text;
  std::vector<double> altitudes;  // one per record, in list order
};

TEST(ParseRawLog, PairsEachGgaLineWithTheNextRmcLine) {
  const ScanCase cases[] = {
      {"one pair", CrLfLines({kGgaA, kRmcA}), {10.0}},
      {"two pairs", CrLfLines({kGgaA, kRmcA, kGgaB, kRmcB}), {10.0, 20.0}},
      {"GGA GGA RMC uses the second GGA", CrLfLines({kGgaA, kGgaB, kRmcA}), {20.0}},
      {"RMC before any GGA is skipped", CrLfLines({kRmcA, kGgaA, kRmcB}), {10.0}},
      {"second RMC is skipped", CrLfLines({kGgaA, kRmcA, kRmcB}), {10.0}},
      {"GGA without RMC yields nothing", CrLfLines({kGgaA}), {}},
      {"Checksum line is skipped", CrLfLines({"Checksum " + std::string(kGgaA), kRmcA}), {}},
      {"Checksum anywhere", CrLfLines({kGgaA, std::string(kRmcA) + " Checksum"}), {}},
      {"other lines are skipped", CrLfLines({"hello", kGgaA, "$GPGSA,A,3*00", kRmcA}), {10.0}},
      {"last line without LF is lost", CrLfLines({kGgaA}) + std::string(kRmcA), {}},
      {"GGA and RMC on one line", CrLfLines({std::string(kGgaA) + std::string(kRmcA)}), {10.0}},
      {"empty text", "", {}},
      {"only line feeds", "\n\n\r\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppState state;
    ParseText(state, c.text);
    ASSERT_EQ(state.fixList.Size(), c.altitudes.size());
    for (std::size_t i = 0; i < c.altitudes.size(); ++i) EXPECT_DOUBLE_EQ(state.fixList[i].altitude, c.altitudes[i]);
  }
}

TEST(ParseRawLog, RmcValuesStandOverGgaValues) {
  AppState state;
  ParseText(state, CrLfLines({Tagged("--3", kGgaA), Tagged("-12", kRmcB)}));
  ASSERT_EQ(state.fixList.Size(), 1u);
  const FixRecord& r = state.fixList[0];
  EXPECT_EQ(r.tag, 12);
  EXPECT_EQ(r.utcSecond, 1);
  EXPECT_EQ(r.latitudeText.View(), "2503.1334");
  EXPECT_EQ(r.satellites, 5);
  EXPECT_DOUBLE_EQ(r.altitude, 10.0);
  EXPECT_EQ(r.speedKnots, 2);
  EXPECT_EQ(state.fixList.GgaSentence(r), kGgaA);
  EXPECT_EQ(state.fixList.RmcSentence(r), kRmcB);
}

struct TagCase {
  const char* name;
  std::string gga;
  std::string rmc;
  std::uint8_t tag;
};

TEST(ParseRawLog, TagComesFromTheTagFieldOrIsZero) {
  const TagCase cases[] = {
      {"no tag field", std::string(kGgaA), std::string(kRmcA), 0},
      {"three minus signs", Tagged("---", kGgaA), Tagged("---", kRmcA), kNoTag},
      {"--7", Tagged("--7", kGgaA), Tagged("--7", kRmcA), 7},
      {"-12", Tagged("-12", kGgaA), Tagged("-12", kRmcA), 12},
      {"123", Tagged("123", kGgaA), Tagged("123", kRmcA), 123},
      {"tag only on GGA", Tagged("--9", kGgaA), std::string(kRmcA), 9},
      {"odd prefix is field 0", "x-1" + std::string(kGgaA), std::string(kRmcA), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppState state;
    ParseText(state, CrLfLines({c.gga, c.rmc}));
    ASSERT_EQ(state.fixList.Size(), 1u);
    EXPECT_EQ(state.fixList[0].tag, c.tag);
  }
}

// A sentence is read from its identifier; only a single field right before
// it, ended by the comma in front of the identifier, is a tag field. So two
// sentences glued by a lost line end, or a line with junk before the
// identifier, still give the fix they hold.
TEST(ParseRawLog, SentencesAreReadFromTheirIdentifier) {
  struct Case {
    const char* name;
    std::string text;
    int tag;
    bool untagged;
  };
  const std::string gga(kGgaA);
  const std::string rmc(kRmcA);
  const Case cases[] = {
      {"GGA and RMC glued", CrLfLines({gga + rmc}), 0, false},
      {"glued after a tag field", CrLfLines({Tagged("---", gga) + rmc}), kNoTag, true},
      {"glued after a number tag", CrLfLines({Tagged("-12", gga) + rmc}), 12, false},
      {"junk before GGA", CrLfLines({"x-1" + gga, rmc}), 0, false},
      {"two fields before GGA", CrLfLines({"12,34," + gga, rmc}), 0, false},
      {"sentence before RMC", CrLfLines({Tagged("123", gga), "$GPGSV,1,1*00" + rmc}), 123, false},
      {"tagged lines", CrLfLines({Tagged("123", gga), Tagged("123", rmc)}), 123, false},
      {"RMC glued to a tagged GGA line", CrLfLines({Tagged("--7", gga), Tagged("--8", gga) + rmc}), 8, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppState state;
    ParseText(state, c.text);
    ASSERT_EQ(state.fixList.Size(), 1u);
    const FixRecord& r = state.fixList[0];
    EXPECT_EQ(int{r.tag}, c.tag);
    EXPECT_EQ(r.untagged, c.untagged);
    EXPECT_EQ(state.fixList.GgaSentence(r), kGgaA);
    EXPECT_EQ(state.fixList.RmcSentence(r), kRmcA);
    EXPECT_EQ(r.latitudeText.View(), "2503.1234");
    EXPECT_EQ(r.longitudeText.View(), "12130.5678");
    EXPECT_EQ(r.eastWest, 'E');
    EXPECT_EQ(r.satellites, 5);
    EXPECT_DOUBLE_EQ(r.altitude, 10.0);
    EXPECT_EQ(r.speedKnots, 1);
    EXPECT_EQ(r.courseText.View(), "90.0");
    EXPECT_EQ((std::array<int, 6>{r.utcYear, r.utcMonth, r.utcDay, r.utcHour, r.utcMinute, r.utcSecond}),
              (std::array<int, 6>{8, 3, 12, 1, 0, 0}));
  }
}

TEST(ParseRawLog, LineEndsLoseOnlyTheirOwnCharacters) {
  struct EndCase {
    const char* name;
    std::string ending;
  };
  const EndCase cases[] = {{"CR LF", "\r\n"}, {"LF only", "\n"}, {"CR CR LF", "\r\r\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    AppState state;
    ParseText(state, std::string(kGgaA) + c.ending + std::string(kRmcA) + c.ending);
    ASSERT_EQ(state.fixList.Size(), 1u);
    std::string expectedTail = c.ending == "\r\r\n" ? "\r" : "";
    EXPECT_EQ(state.fixList.GgaSentence(state.fixList[0]), std::string(kGgaA) + expectedTail);
    EXPECT_EQ(state.fixList.RmcSentence(state.fixList[0]), std::string(kRmcA) + expectedTail);
  }
}

TEST(ParseRawLog, UsesOnlyTheFirst1023CharactersOfALine) {
  // The altitude field of the second GGA line starts beyond the cut.
  std::string padding(1023 - 50, '0');
  std::string cutGga = "$GPGGA,010000,2503.1234,N,12130.5678,E,1,05,1." + padding + ",77.0,M,,M,,*41";
  std::string keptGga = "$GPGGA,010000,2503.1234,N,12130.5678,E,1,05,1." + padding.substr(10) + ",77.0,M,,M,,*41";
  for (const auto& [gga, altitude] : {std::pair{cutGga, 0.0}, std::pair{keptGga, 77.0}}) {
    SCOPED_TRACE(gga.size());
    AppState state;
    ParseText(state, CrLfLines({gga, kRmcA}));
    ASSERT_EQ(state.fixList.Size(), 1u);
    EXPECT_DOUBLE_EQ(state.fixList[0].altitude, altitude);
    EXPECT_EQ(state.fixList[0].ggaSentence.length, kMaxSentenceLength);
  }
}

TEST(ParseRawLog, SequenceNumbersContinueAcrossLoads) {
  AppState state;
  ParseText(state, CrLfLines({kGgaA, kRmcA, kGgaB, kGgaA, kRmcB}));
  ASSERT_EQ(state.fixList.Size(), 2u);
  EXPECT_EQ(state.fixList[0].sequence, 1);
  EXPECT_EQ(state.fixList[1].sequence, 3);  // the uncompleted GGA line used number 2
  EXPECT_EQ(state.fixCounter, 4);
  ParseText(state, CrLfLines({kGgaA, kRmcA}));
  ASSERT_EQ(state.fixList.Size(), 1u);
  EXPECT_EQ(state.fixList[0].sequence, 4);
  EXPECT_EQ(state.fixCounter, 5);
}

TEST(ParseRawLog, NoFixStillMakesARecordWithEmptyPosition) {
  AppState state;
  ParseText(state, CrLfLines({"$GPGGA,010000,,,,,0,00,,,M,,M,,*66", "$GPRMC,010000,V,,,,,,,120308,,,N*70"}));
  ASSERT_EQ(state.fixList.Size(), 1u);
  const FixRecord& r = state.fixList[0];
  EXPECT_EQ(r.latitudeText.View(), "");
  EXPECT_EQ(r.latitudeDegrees.View(), "");
  EXPECT_EQ(r.longitudeDegrees.View(), "");
  EXPECT_EQ(r.utcDay, 12);
}

TEST(ParseRawLog, SelectionCopiesOutliveTheReload) {
  AppState state;
  ParseText(state, CrLfLines({kGgaA, kRmcA}));
  AppendSelectedCopy(state.selectionList, state.fixList, state.fixList[0]);
  state.fixList.Free();
  ParseText(state, CrLfLines({kGgaB, kRmcB}));
  ASSERT_EQ(state.selectionList.Size(), 1u);
  EXPECT_EQ(state.selectionList.GgaSentence(state.selectionList[0]), kGgaA);
  EXPECT_EQ(state.fixList.GgaSentence(state.fixList[0]), kGgaB);
}

TEST(ParseRawLog, DoesNothingBeforeAnyLoad) {
  AppState state;
  ParseRawLog(state);
  EXPECT_TRUE(state.fixList.Empty());
  EXPECT_EQ(state.fixCounter, 1);
}

class LoadRawLogTest : public ::testing::Test {
 protected:
  LoadOutcome Load() { return LoadRawLog(state); }

  testing::TempWorkingDirectory directory;
  testing::FakeMessageBoxes boxes;
  AppState state;
};

TEST_F(LoadRawLogTest, ReadsTheWholeFileAsBytes) {
  std::string content = CrLfLines({kGgaA, kRmcA}) + std::string("\0\x1a\xff tail", 8);
  testing::WriteFile("Rawdata/a.txt", content);
  state.rawLogPath = "Rawdata/a.txt";
  EXPECT_EQ(Load(), LoadOutcome::kLoaded);
  ASSERT_TRUE(state.rawLogText);
  EXPECT_EQ(*state.rawLogText, content);
}

// The loaded bytes stay those of the file that was read when a new file is
// renamed over it, as a download does, or when it is removed.
TEST_F(LoadRawLogTest, TextOutlivesTheFileBeingReplacedOrRemoved) {
  const std::string content = CrLfLines({kGgaA, kRmcA});
  testing::WriteFile("Rawdata/a.txt", content);
  state.rawLogPath = "Rawdata/a.txt";
  ASSERT_EQ(Load(), LoadOutcome::kLoaded);
  testing::WriteFile("Rawdata/b.txt", "other");
  std::filesystem::rename("Rawdata/b.txt", "Rawdata/a.txt");
  EXPECT_EQ(*state.rawLogText, content);
  std::filesystem::remove("Rawdata/a.txt");
  EXPECT_EQ(*state.rawLogText, content);
}

TEST_F(LoadRawLogTest, MissingFileKeepsThePreviousText) {
  testing::WriteFile("Rawdata/a.txt", CrLfLines({kGgaA, kRmcA}));
  state.rawLogPath = "Rawdata/a.txt";
  ASSERT_EQ(Load(), LoadOutcome::kLoaded);
  auto previous = state.rawLogText;
  std::vector<std::string> paths = {"Rawdata/missing.txt", "Rawdata"};
#ifndef _WIN32
  // Windows has no named pipes in the file system.
  ASSERT_EQ(mkfifo("Rawdata/pipe.txt", 0600), 0);
  paths.push_back("Rawdata/pipe.txt");
#endif
  for (const std::string& path : paths) {
    SCOPED_TRACE(path);
    boxes.messages.clear();
    state.rawLogPath = path;
    const LoadOutcome outcome = Load();
    EXPECT_EQ(outcome, LoadOutcome::kCannotOpen);
    ShowLoadOutcome(boxes, outcome);
    ASSERT_EQ(boxes.messages.size(), 1u);
    EXPECT_EQ(boxes.messages[0].text, "Can't open Rawdata.txt");
    EXPECT_EQ(boxes.messages[0].caption, "Info");
    EXPECT_EQ(state.rawLogText, previous);
  }
  ParseRawLog(state);
  EXPECT_EQ(state.fixList.Size(), 1u);
}

TEST_F(LoadRawLogTest, EmptyFileGivesEmptyText) {
  testing::WriteFile("Rawdata/empty.txt", "");
  state.rawLogPath = "Rawdata/empty.txt";
  EXPECT_EQ(Load(), LoadOutcome::kLoaded);
  ASSERT_TRUE(state.rawLogText);
  EXPECT_EQ(*state.rawLogText, "");
}

TEST_F(LoadRawLogTest, TextTooLargeToHoldReportsMemoryAndDropsTheOldText) {
  testing::WriteFile("Rawdata/a.txt", CrLfLines({kGgaA, kRmcA}));
  state.rawLogPath = "Rawdata/a.txt";
  ASSERT_EQ(Load(), LoadOutcome::kLoaded);
  // A sparse file just beyond what 32-bit offsets can address.
  {
    testing::WriteFile("Rawdata/huge.txt", "");
    std::filesystem::resize_file("Rawdata/huge.txt", std::uintmax_t{1} << 32);
  }
  state.rawLogPath = "Rawdata/huge.txt";
  const LoadOutcome outcome = Load();
  EXPECT_EQ(outcome, LoadOutcome::kMemoryNotEnough);
  ShowLoadOutcome(boxes, outcome);
  ASSERT_EQ(boxes.messages.size(), 1u);
  EXPECT_EQ(boxes.messages[0].text, "Memory not enough ");
  EXPECT_EQ(boxes.messages[0].caption, "");
  EXPECT_FALSE(state.rawLogText);
  ParseRawLog(state);
  EXPECT_TRUE(state.fixList.Empty());
}

}  // namespace
}  // namespace quillon
