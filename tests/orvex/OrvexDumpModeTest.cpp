#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "api/DeviceCodes.h"
#include "tests/orvex/OrvexTestSupport.h"

namespace quillon::orvex::testing {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

using DumpModeTest = OrvexFixture;

TEST_F(DumpModeTest, EntersAndLeavesDumpModeOnTheNamedPort) {
  StartEmulator(3);
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  EXPECT_EQ(Orvex().exitDumpMode(), 0);
  EXPECT_EQ(Orvex().exitDumpMode(), code::kNotDumpMode);
}

TEST_F(DumpModeTest, PortsThatCannotBeOpenedGiveCode3) {
  StartEmulator(3);
  std::ofstream(portDir / "COM4") << "not a terminal";
  fs::create_symlink(folder / "nowhere", portDir / "COM5");
  struct Case {
    int port;
    const char* why;
  } cases[] = {{2, "no entry"}, {4, "a plain file"}, {5, "a dangling link"}, {0, "port 0"}, {255, "no selection"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(Orvex().intoDumpMode(static_cast<uint8_t>(c.port)), code::kComPortOpenError);
  }
  fs::remove(portDir / "COM4");
  fs::remove(portDir / "COM5");
}

TEST_F(DumpModeTest, SilentLoggerGivesCode4WithinBoundedTime) {
  StartEmulator(3, {"--no-answer"});
  auto start = Clock::now();
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kNotIntoDumpMode);
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_EQ(Orvex().readMemoryUsedSize(nullptr), code::kNotDumpMode);
}

// A port that streams text and never answers (a GPS mouse, a modem) costs no
// more than a silent one, for the named port and in the scan.
TEST_F(DumpModeTest, ChattyPortsCostNoMoreThanSilentOnes) {
  StartEmulator(3, {"--chatty"});
  auto start = Clock::now();
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kNotIntoDumpMode);
  EXPECT_LT(SecondsSince(start), 2.0);

  StartEmulator(5, {"--chatty"});
  StartEmulator(6, {"--no-answer"});
  start = Clock::now();
  int port = -1;
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kNotIntoDumpMode);
  EXPECT_EQ(port, -1);
  EXPECT_LT(SecondsSince(start), 3 * 1.2 + 1.5);

  StartEmulator(8);
  start = Clock::now();
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kIntoDumpMode);
  EXPECT_EQ(port, 8);
  EXPECT_LT(SecondsSince(start), 3 * 1.2 + 1.5);
  EXPECT_EQ(Orvex().readMemoryUsedSize(nullptr), code::kMemoryUsedRead);
}

TEST_F(DumpModeTest, RefusingLoggerGivesCode4) {
  StartEmulator(3, {"--refuse-dump-mode"});
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kNotIntoDumpMode);
}

TEST_F(DumpModeTest, AutomaticScanReportsTheFirstPortThatAnswers) {
  StartEmulator(2, {"--no-answer"});
  StartEmulator(7);
  StartEmulator(9);
  int port = 0;
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kIntoDumpMode);
  EXPECT_EQ(port, 7);
  int used = 0;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedRead);
}

TEST_F(DumpModeTest, AutomaticScanWithoutPortsGivesCode3) {
  int port = -1;
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kComPortOpenError);
  EXPECT_EQ(port, -1);
}

TEST_F(DumpModeTest, AutomaticScanWhereNoLoggerAnswersGivesCode4) {
  StartEmulator(4, {"--refuse-dump-mode"});
  int port = -1;
  EXPECT_EQ(Orvex().autoIntoDumpMode(&port), code::kNotIntoDumpMode);
  EXPECT_EQ(port, -1);
}

TEST_F(DumpModeTest, PortArgumentOfLaterCallsIsAdvisory) {
  StartEmulator(3);
  ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  uint32_t serial = 0;
  char firmware[8] = {};
  char distributor[32] = {};
  EXPECT_EQ(Orvex().readDeviceInformation(77, &serial, firmware, distributor), 25);
  EXPECT_EQ(Orvex().eraseAllDb(0), code::kEraseSuccessful);
}

TEST_F(DumpModeTest, EnteringAgainWhileHeldWorks) {
  StartEmulator(3);
  ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  int used = 0;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedRead);
  EXPECT_EQ(used, 200 * 32);
}

TEST_F(DumpModeTest, EnteringAnotherPortWhileHeldMovesThere) {
  StartEmulator(3, {"--fixes", "1"});
  StartEmulator(6, {"--fixes", "2"});
  ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  ASSERT_EQ(Orvex().intoDumpMode(6), code::kIntoDumpMode);
  int used = 0;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedRead);
  EXPECT_EQ(used, 64);
}

TEST_F(DumpModeTest, FailedEntryGivesUpTheLineHeldBefore) {
  StartEmulator(3);
  ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  EXPECT_EQ(Orvex().intoDumpMode(8), code::kComPortOpenError);
  EXPECT_EQ(Orvex().readMemoryUsedSize(nullptr), code::kNotDumpMode);
}

TEST_F(DumpModeTest, EveryCallNeedingDumpModeGives26WithoutIt) {
  StartEmulator(3);
  uint32_t serial = 0;
  char firmware[8] = {}, distributor[32] = {};
  uint8_t b[6] = {};
  int32_t t = 0, d = 0;
  uint8_t userPoints[ORVEX_USER_POINT_BLOCK_SIZE] = {};
  int8_t zone = 0;
  int used = 0;
  const auto& api = Orvex();
  struct Case {
    const char* call;
    int result;
  } cases[] = {
      {"device information", api.readDeviceInformation(3, &serial, firmware, distributor)},
      {"gps time", api.readGpsUtcTimeDate(&b[0], &b[1], &b[2], &b[3], &b[4], &b[5])},
      {"dump", api.dumpDb(3, "Rawdata/x.txt")},
      {"memory", api.readMemoryUsedSize(&used)},
      {"read settings", api.readSettingValue(3, &t, &d, &b[0], &b[1], &b[2], userPoints, &b[3], &b[4], &zone)},
      {"write settings", SendSettings(SentSettings())},
      {"erase", api.eraseAllDb(3)},
      {"exit", api.exitDumpMode()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    EXPECT_EQ(c.result, code::kNotDumpMode);
  }
  EXPECT_FALSE(fs::exists("Rawdata/x.txt"));
}

TEST_F(DumpModeTest, LoggerThatStopsAnsweringGives12WithinBoundedTime) {
  auto& emulator = StartEmulator(3);
  ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  ::kill(emulator.Pid(), SIGSTOP);
  auto start = Clock::now();
  int used = 0;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kDeviceNotReport);
  EXPECT_LT(SecondsSince(start), 4.0);
  ::kill(emulator.Pid(), SIGCONT);
}

TEST_F(DumpModeTest, SlowLineStillWorks) {
  StartEmulator(3, {"--baud", "9600"});
  EXPECT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  uint32_t serial = 0;
  char firmware[8] = {}, distributor[32] = {};
  EXPECT_EQ(Orvex().readDeviceInformation(3, &serial, firmware, distributor), 25);
}

TEST(DllVersionTest, ReportsItsVersionText) {
  char version[ORVEX_DLL_VERSION_SIZE];
  std::memset(version, 'x', sizeof version);
  EXPECT_EQ(Orvex().readDllVersion(version), 0);
  EXPECT_STREQ(version, "Quillon 1.0");
}

}  // namespace
}  // namespace quillon::orvex::testing
