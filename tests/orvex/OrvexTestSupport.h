#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "api/OrvexApi.h"
#include "tests/orvex/EmulatorProcess.h"

namespace quillon::orvex::testing {

// The stand-in library's entry points, looked up by name from the built file.
struct OrvexEntryPoints {
  TQ_ORVEX_AUTO_INTO_DUMP_MODE_FN autoIntoDumpMode;
  TQ_ORVEX_INTO_DUMP_MODE_FN intoDumpMode;
  TQ_ORVEX_EXIT_DUMP_MODE_FN exitDumpMode;
  TQ_ORVEX_READ_DEVICE_INFORMATION_FN readDeviceInformation;
  TQ_ORVEX_READ_GPS_UTC_TIME_DATE_FN readGpsUtcTimeDate;
  TQ_ORVEX_DUMP_DB_FN dumpDb;
  TQ_ORVEX_READ_MEMORY_USED_SIZE_FN readMemoryUsedSize;
  TQ_ORVEX_READ_SETTING_VALUE_FN readSettingValue;
  TQ_ORVEX_SETTING_DEVICE_FN settingDevice;
  TQ_ORVEX_ERASE_All_DB_FN eraseAllDb;
  TQ_ORVEX_READ_DLL_VERSION_FN readDllVersion;
};
const OrvexEntryPoints& Orvex();

// Settings as the tool sends them, with the fields of the wire.
struct SentSettings {
  int32_t timeInterval = 5;
  int32_t distanceInterval = -1;
  uint8_t vibration = 0;
  uint8_t tagFunction = 1;
  uint8_t minimumSpeed = 0;
  uint8_t userPoints[ORVEX_USER_POINT_BLOCK_SIZE];
  uint8_t idleTimer = 10;
  uint8_t tagMode = 0;
  int8_t timeZone = 8;
  SentSettings();
};
int SendSettings(const SentSettings& settings, const char* voicePath = "voice file");

// A temporary working directory for one test: the process works in it (the
// library finds "ports" and writes "Rawdata" relative to it) and leaves it
// afterwards. Any dump mode left over is released.
class OrvexFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts an emulator on ports/COM`com`.
  EmulatorProcess& StartEmulator(int com, const std::vector<std::string>& arguments = {});
  std::string ReadFile(const std::filesystem::path& path) const;
  std::vector<std::string> FilesUnder(const std::filesystem::path& folder) const;

  std::filesystem::path folder;
  std::filesystem::path portDir;
  std::vector<std::unique_ptr<EmulatorProcess>> emulators;

 private:
  std::filesystem::path previous_;
};

}  // namespace quillon::orvex::testing
