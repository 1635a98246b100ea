#include "tests/orvex/OrvexTestSupport.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <fstream>
#include <iterator>

#include "platform/DynamicLibrary.h"

namespace quillon::orvex::testing {

namespace fs = std::filesystem;

const OrvexEntryPoints& Orvex() {
  static const OrvexEntryPoints entryPoints = [] {
    std::string error;
    static auto library = quillon::DynamicLibrary::Load(QUILLON_ORVEX_LIBRARY, &error);
    if (!library) throw std::runtime_error("cannot load the stand-in library: " + error);
    auto find = [&](const char* name) {
      void* symbol = library->Find(name);
      if (symbol == nullptr) throw std::runtime_error(std::string("missing entry point ") + name);
      return symbol;
    };
    OrvexEntryPoints table{};
    table.autoIntoDumpMode = reinterpret_cast<TQ_ORVEX_AUTO_INTO_DUMP_MODE_FN>(find("TQ_ORVEX_AUTO_INTO_DUMP_MODE"));
    table.intoDumpMode = reinterpret_cast<TQ_ORVEX_INTO_DUMP_MODE_FN>(find("TQ_ORVEX_INTO_DUMP_MODE"));
    table.exitDumpMode = reinterpret_cast<TQ_ORVEX_EXIT_DUMP_MODE_FN>(find("TQ_ORVEX_EXIT_DUMP_MODE"));
    table.readDeviceInformation =
        reinterpret_cast<TQ_ORVEX_READ_DEVICE_INFORMATION_FN>(find("TQ_ORVEX_READ_DEVICE_INFORMATION"));
    table.readGpsUtcTimeDate =
        reinterpret_cast<TQ_ORVEX_READ_GPS_UTC_TIME_DATE_FN>(find("TQ_ORVEX_READ_GPS_UTC_TIME_DATE"));
    table.dumpDb = reinterpret_cast<TQ_ORVEX_DUMP_DB_FN>(find("TQ_ORVEX_DUMP_DB"));
    table.readMemoryUsedSize =
        reinterpret_cast<TQ_ORVEX_READ_MEMORY_USED_SIZE_FN>(find("TQ_ORVEX_READ_MEMORY_USED_SIZE"));
    table.readSettingValue = reinterpret_cast<TQ_ORVEX_READ_SETTING_VALUE_FN>(find("TQ_ORVEX_READ_SETTING_VALUE"));
    table.settingDevice = reinterpret_cast<TQ_ORVEX_SETTING_DEVICE_FN>(find("TQ_ORVEX_SETTING_DEVICE"));
    table.eraseAllDb = reinterpret_cast<TQ_ORVEX_ERASE_All_DB_FN>(find("TQ_ORVEX_ERASE_All_DB"));
    table.readDllVersion = reinterpret_cast<TQ_ORVEX_READ_DLL_VERSION_FN>(find("TQ_ORVEX_READ_DLL_VERSION"));
    return table;
  }();
  return entryPoints;
}

SentSettings::SentSettings() { std::memset(userPoints, 0xFF, sizeof userPoints); }

int SendSettings(const SentSettings& s, const char* voicePath) {
  return Orvex().settingDevice(3, s.timeInterval, s.distanceInterval, s.vibration, s.tagFunction, voicePath,
                               s.minimumSpeed, s.userPoints, s.idleTimer, s.tagMode, s.timeZone);
}

void OrvexFixture::SetUp() {
  char pattern[] = "/tmp/quillon-orvex-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  folder = pattern;
  portDir = folder / "ports";
  fs::create_directory(portDir);
  previous_ = fs::current_path();
  fs::current_path(folder);
}

void OrvexFixture::TearDown() {
  Orvex().exitDumpMode();
  for (auto& emulator : emulators) {
    // SIGTERM ends the emulator cleanly and takes its link and pid file away.
    if (emulator->Pid() > 0) {
      EXPECT_EQ(emulator->Stop(), 0);
    }
  }
  emulators.clear();
  for (const auto& entry : fs::directory_iterator(portDir)) ADD_FAILURE() << entry.path() << " left behind";
  fs::current_path(previous_);
  std::error_code error;
  fs::remove_all(folder, error);
}

EmulatorProcess& OrvexFixture::StartEmulator(int com, const std::vector<std::string>& arguments) {
  emulators.push_back(std::make_unique<EmulatorProcess>(portDir, com, arguments));
  EXPECT_TRUE(emulators.back()->Ready()) << "the emulator did not report ready";
  return *emulators.back();
}

std::string OrvexFixture::ReadFile(const fs::path& path) const {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> OrvexFixture::FilesUnder(const fs::path& where) const {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(where, error)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace quillon::orvex::testing
