#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "api/DeviceCodes.h"
#include "tests/orvex/OrvexTestSupport.h"

namespace quillon::orvex::testing {
namespace {

namespace fs = std::filesystem;

class QueryTest : public OrvexFixture {
 protected:
  void Enter(const std::vector<std::string>& arguments = {}) {
    StartEmulator(3, arguments);
    ASSERT_EQ(Orvex().intoDumpMode(3), code::kIntoDumpMode);
  }
};

struct Information {
  int result;
  uint32_t serial = 7;
  char firmware[8] = "old";
  char distributor[32] = "old";
};

Information ReadInformation() {
  Information info{};
  std::strcpy(info.firmware, "old");
  std::strcpy(info.distributor, "old");
  info.serial = 7;
  info.result = Orvex().readDeviceInformation(3, &info.serial, info.firmware, info.distributor);
  return info;
}

TEST_F(QueryTest, DeviceInformationOfTheLogger) {
  Enter({"--serial", "3000000001"});
  auto info = ReadInformation();
  EXPECT_EQ(info.result, 25);
  EXPECT_EQ(info.serial, 3000000001u);
  EXPECT_STREQ(info.firmware, "V1.3.7");
  EXPECT_STREQ(info.distributor, "Quillon logger emulator");
}

TEST_F(QueryTest, EmptyDeviceInformationGives27AndLeavesOutputs) {
  Enter({"--empty-info"});
  auto info = ReadInformation();
  EXPECT_EQ(info.result, code::kDeviceInformationNull);
  EXPECT_EQ(info.serial, 7u);
  EXPECT_STREQ(info.firmware, "old");
}

TEST_F(QueryTest, UnreadableDeviceInformationGives28) {
  Enter({"--garbled-info"});
  auto info = ReadInformation();
  EXPECT_EQ(info.result, code::kDeviceInformationUnreadable);
  EXPECT_EQ(info.serial, 7u);
}

TEST_F(QueryTest, GpsClockRunsWithTheUtcTime) {
  Enter();
  uint8_t h = 0, m = 0, s = 0, y = 0, d = 0, mo = 0;
  std::time_t before = std::time(nullptr);
  ASSERT_EQ(Orvex().readGpsUtcTimeDate(&h, &m, &s, &y, &d, &mo), code::kGpsUtcTimeRead);
  std::tm utc{};
  utc.tm_year = 100 + y;
  utc.tm_mon = mo - 1;
  utc.tm_mday = d;
  utc.tm_hour = h;
  utc.tm_min = m;
  utc.tm_sec = s;
  std::time_t logger = ::timegm(&utc);
  EXPECT_LE(std::llabs(static_cast<long long>(logger - before)), 2) << "logger clock " << std::asctime(&utc);
}

TEST_F(QueryTest, GpsTimeWithoutFixGives38) {
  Enter({"--gps-invalid"});
  uint8_t h = 99, m = 0, s = 0, y = 0, d = 0, mo = 0;
  EXPECT_EQ(Orvex().readGpsUtcTimeDate(&h, &m, &s, &y, &d, &mo), code::kGpsUtcTimeInvalid);
  EXPECT_EQ(h, 99);
}

TEST_F(QueryTest, MemoryUsedIsWhatTheRecordsTake) {
  Enter({"--fixes", "1234"});
  int used = 0;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedRead);
  EXPECT_EQ(used, 1234 * 32);
}

TEST_F(QueryTest, ImpossibleMemorySizeGives48) {
  Enter({"--bad-memory-size"});
  int used = -5;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedSizeError);
  EXPECT_EQ(used, -5);
}

TEST_F(QueryTest, EraseEmptiesTheMemory) {
  Enter();
  EXPECT_EQ(Orvex().eraseAllDb(3), code::kEraseSuccessful);
  int used = -1;
  EXPECT_EQ(Orvex().readMemoryUsedSize(&used), code::kMemoryUsedRead);
  EXPECT_EQ(used, 0);
}

struct ReadBack {
  int result;
  int32_t time, distance;
  uint8_t vibration, tag, speed, userPoints[ORVEX_USER_POINT_BLOCK_SIZE], idle, tagMode;
  int8_t zone;
};

ReadBack ReadSettings() {
  ReadBack r{};
  r.result = Orvex().readSettingValue(3, &r.time, &r.distance, &r.vibration, &r.tag, &r.speed, r.userPoints, &r.idle,
                                      &r.tagMode, &r.zone);
  return r;
}

TEST_F(QueryTest, SettingsReadAndWrittenBack) {
  Enter();
  auto before = ReadSettings();
  ASSERT_EQ(before.result, code::kReadSettingSuccessful);
  EXPECT_EQ(before.time, 5);
  EXPECT_EQ(before.distance, -1);
  EXPECT_EQ(before.tag, 1);
  EXPECT_EQ(before.idle, 10);
  EXPECT_EQ(before.zone, 8);

  SentSettings s;
  s.timeInterval = -1;
  s.distanceInterval = 3000;
  s.vibration = 2;
  s.tagFunction = 0;
  s.minimumSpeed = 20;
  s.idleTimer = 15;
  s.tagMode = 1;
  s.timeZone = -12;
  ASSERT_EQ(SendSettings(s), code::kSettingSuccessful);
  auto after = ReadSettings();
  EXPECT_EQ(after.result, code::kReadSettingSuccessful);
  EXPECT_EQ(after.time, -1);
  EXPECT_EQ(after.distance, 3000);
  EXPECT_EQ(after.vibration, 2);
  EXPECT_EQ(after.tag, 0);
  EXPECT_EQ(after.speed, 20);
  EXPECT_EQ(after.userPoints[0], 0xFF);
  EXPECT_EQ(after.idle, 15);
  EXPECT_EQ(after.tagMode, 1);
  EXPECT_EQ(after.zone, -12);
}

TEST_F(QueryTest, LoggerRefusesSettingsOutOfRangeAndKeepsItsOwn) {
  Enter();
  struct Case {
    const char* what;
    void (*change)(SentSettings&);
    int expected;
  } cases[] = {
      {"time 3601", [](SentSettings& s) { s.timeInterval = 3601; }, code::kTimeIntervalOver},
      {"time 0", [](SentSettings& s) { s.timeInterval = 0; }, code::kSettingValueError},
      {"distance 3001", [](SentSettings& s) { s.timeInterval = -1; s.distanceInterval = 3001; },
       code::kDistanceIntervalOver},
      {"distance 24", [](SentSettings& s) { s.timeInterval = -1; s.distanceInterval = 24; },
       code::kSettingValueError},
      {"both intervals", [](SentSettings& s) { s.distanceInterval = 100; }, code::kSettingValueError},
      {"neither interval", [](SentSettings& s) { s.timeInterval = -1; }, code::kSettingValueError},
      {"both 0 as at program start", [](SentSettings& s) { s.timeInterval = 0; s.distanceInterval = 0; },
       code::kSettingValueError},
      {"vibration 1", [](SentSettings& s) { s.vibration = 1; }, code::kSettingValueError},
      {"tag function 2", [](SentSettings& s) { s.tagFunction = 2; }, code::kSettingValueError},
      {"speed 21", [](SentSettings& s) { s.minimumSpeed = 21; }, code::kMinSpeedOver},
      {"user point off the globe", [](SentSettings& s) { std::memset(s.userPoints, 0x7F, 8); },
       code::kUserPointDataError},
      {"idle 0", [](SentSettings& s) { s.idleTimer = 0; }, code::kIdleTimerOverRange},
      {"idle 16", [](SentSettings& s) { s.idleTimer = 16; }, code::kIdleTimerOverRange},
      {"tag mode 2", [](SentSettings& s) { s.tagMode = 2; }, code::kTagModeError},
      {"time zone 15", [](SentSettings& s) { s.timeZone = 15; }, code::kTimeZoneError},
      {"time zone -13", [](SentSettings& s) { s.timeZone = -13; }, code::kTimeZoneError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SentSettings s;
    s.timeInterval = 77;
    c.change(s);
    EXPECT_EQ(SendSettings(s), c.expected);
    EXPECT_EQ(ReadSettings().time, 5) << "refused settings were stored";
  }
  SentSettings edges;
  edges.timeInterval = 3600;
  edges.idleTimer = 2;
  edges.timeZone = 14;
  EXPECT_EQ(SendSettings(edges), code::kSettingSuccessful);
  edges.timeInterval = 1;
  EXPECT_EQ(SendSettings(edges), code::kSettingSuccessful);
}

TEST_F(QueryTest, LoggerThatCannotStoreGives18) {
  Enter({"--setting-fail"});
  SentSettings s;
  s.timeInterval = 60;
  EXPECT_EQ(SendSettings(s), code::kSettingFail);
  EXPECT_EQ(ReadSettings().time, 5);
}

std::string Wave(std::size_t samples) {
  std::string data(samples, '\x10');
  auto u32 = [](std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
  std::string fmt = std::string("fmt ") + u32(16) + std::string("\x01\x00\x01\x00", 4) + u32(8000) + u32(8000) +
                    std::string("\x01\x00\x08\x00", 4);
  std::string body = "WAVE" + fmt + "data" + u32(static_cast<std::uint32_t>(samples)) + data;
  return "RIFF" + u32(static_cast<std::uint32_t>(body.size())) + body;
}

TEST_F(QueryTest, VoiceFilesAreCheckedBeforeTheSettingsGo) {
  Enter();
  SentSettings s;
  s.timeInterval = 30;
  struct Case {
    const char* what;
    void (*prepare)();
    int expected;
  } cases[] = {
      {"no voice folder", [] {}, code::kSettingSuccessful},
      {"empty voice folder", [] { fs::create_directory("voice file"); }, code::kSettingSuccessful},
      {"complete wave", [] {
         fs::create_directory("voice file");
         std::ofstream("voice file/a.wav", std::ios::binary) << Wave(1000);
       }, code::kSettingSuccessful},
      {"other files are not voice data", [] {
         fs::create_directory("voice file");
         std::ofstream("voice file/readme.txt") << "hello";
       }, code::kSettingSuccessful},
      {"truncated wave", [] {
         fs::create_directory("voice file");
         std::string wave = Wave(1000);
         std::ofstream("voice file/b.WAV", std::ios::binary) << wave.substr(0, wave.size() - 10);
       }, code::kUncompletedWaveFiles},
      {"wave over 128K", [] {
         fs::create_directory("voice file");
         std::ofstream("voice file/c.wav", std::ios::binary) << Wave(131072);
       }, code::kVoiceFileTooLarge},
      {"path is a file", [] { std::ofstream("voice file") << "x"; }, code::kWaveFilePathError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::error_code error;
    fs::remove_all("voice file", error);
    c.prepare();
    EXPECT_EQ(SendSettings(s), c.expected);
  }
  fs::remove_all("voice file");
}

}  // namespace
}  // namespace quillon::orvex::testing
