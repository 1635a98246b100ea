// Drives the device library in the working directory through one session, as
// the tool's Auto Open, Dump, Settings Dialog and Erase do, and prints each
// call's result code and what it read:
//   orvex_com_probe RAWLOG
// The working directory needs the "voice file" folder that the settings write
// looks for.
// tools/wine-com-check.sh runs it on Linux and under Wine against the same
// logger emulator and compares what the two print and dump.
#include <cstdint>
#include <cstdio>
#include <string>

#include "api/DeviceCodes.h"
#include "api/OrvexApi.h"
#include "platform/DynamicLibrary.h"

namespace {

template <typename Function>
Function Entry(const quillon::DynamicLibrary& library, const char* name) {
  Function function = reinterpret_cast<Function>(library.Find(name));
  if (function == nullptr) std::printf("missing entry point %s\n", name);
  return function;
}

struct Settings {
  std::int32_t timeInterval = 0;
  std::int32_t distanceInterval = 0;
  std::uint8_t vibration = 0, tagFunction = 0, minimumSpeed = 0, idleTimer = 0, tagMode = 0;
  std::int8_t timeZone = 0;
  std::uint8_t userPoints[ORVEX_USER_POINT_BLOCK_SIZE] = {};

  std::string Text() const {
    unsigned sum = 0;
    for (std::uint8_t b : userPoints) sum = sum * 31 + b;
    char text[160];
    std::snprintf(text, sizeof text, "time %d, distance %d, vibration %u, tag %u, speed %u, idle %u, mode %u, zone %d, points %08x",
                  timeInterval, distanceInterval, vibration, tagFunction, minimumSpeed, idleTimer, tagMode, timeZone,
                  sum);
    return text;
  }
};

int ReadSettings(TQ_ORVEX_READ_SETTING_VALUE_FN read, std::uint8_t port, Settings& s) {
  return read(port, &s.timeInterval, &s.distanceInterval, &s.vibration, &s.tagFunction, &s.minimumSpeed,
              s.userPoints, &s.idleTimer, &s.tagMode, &s.timeZone);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: orvex_com_probe RAWLOG\n");
    return 2;
  }
  std::string error;
  auto library = quillon::DynamicLibrary::Load("ORVEX_DLL.dll", &error);
  if (!library) {
    std::printf("cannot load ORVEX_DLL.dll: %s\n", error.c_str());
    return 1;
  }
  auto autoOpen = Entry<TQ_ORVEX_AUTO_INTO_DUMP_MODE_FN>(*library, "TQ_ORVEX_AUTO_INTO_DUMP_MODE");
  auto information = Entry<TQ_ORVEX_READ_DEVICE_INFORMATION_FN>(*library, "TQ_ORVEX_READ_DEVICE_INFORMATION");
  auto gpsTime = Entry<TQ_ORVEX_READ_GPS_UTC_TIME_DATE_FN>(*library, "TQ_ORVEX_READ_GPS_UTC_TIME_DATE");
  auto memory = Entry<TQ_ORVEX_READ_MEMORY_USED_SIZE_FN>(*library, "TQ_ORVEX_READ_MEMORY_USED_SIZE");
  auto dump = Entry<TQ_ORVEX_DUMP_DB_FN>(*library, "TQ_ORVEX_DUMP_DB");
  auto exitDumpMode = Entry<TQ_ORVEX_EXIT_DUMP_MODE_FN>(*library, "TQ_ORVEX_EXIT_DUMP_MODE");
  auto readSettings = Entry<TQ_ORVEX_READ_SETTING_VALUE_FN>(*library, "TQ_ORVEX_READ_SETTING_VALUE");
  auto writeSettings = Entry<TQ_ORVEX_SETTING_DEVICE_FN>(*library, "TQ_ORVEX_SETTING_DEVICE");
  auto erase = Entry<TQ_ORVEX_ERASE_All_DB_FN>(*library, "TQ_ORVEX_ERASE_All_DB");
  if (!autoOpen || !information || !gpsTime || !memory || !dump || !exitDumpMode || !readSettings ||
      !writeSettings || !erase) {
    return 1;
  }

  // Each call comes before the printf that shows what it filled in: the
  // order in which arguments are evaluated is unspecified.
  int port = 0;
  const int opened = autoOpen(&port);
  std::printf("auto open: %d, port %d\n", opened, port);
  std::uint32_t serial = 0;
  char firmware[ORVEX_FIRMWARE_SIZE + 1] = {};
  char distributor[ORVEX_DISTRIBUTOR_SIZE + 1] = {};
  const int informed = information(static_cast<std::uint8_t>(port), &serial, firmware, distributor);
  std::printf("information: %d, serial %u, firmware %.8s, distributor %.32s\n", informed, serial, firmware,
              distributor);
  std::uint8_t hour = 0, minute = 0, second = 0, year = 0, day = 0, month = 0;
  // The clock moves on; only the result code is compared.
  std::printf("gps time: %d\n", gpsTime(&hour, &minute, &second, &year, &day, &month));
  int used = -1;
  const int measured = memory(&used);
  std::printf("memory: %d, %d bytes used\n", measured, used);
  const int dumped = dump(static_cast<std::uint8_t>(port), argv[1]);
  std::printf("dump: %d\n", dumped);
  // An unplugged logger ends the session here; the rest needs a logger.
  if (dumped == quillon::code::kDumpSuccessful) {
    const auto logger = static_cast<std::uint8_t>(port);
    Settings settings;
    int result = ReadSettings(readSettings, logger, settings);
    std::printf("read settings: %d, %s\n", result, settings.Text().c_str());
    Settings changed = settings;
    changed.timeInterval += 7;
    changed.idleTimer = static_cast<std::uint8_t>(changed.idleTimer % 15 + 1);
    changed.minimumSpeed = static_cast<std::uint8_t>(changed.minimumSpeed % 20 + 1);
    changed.userPoints[0] ^= 0x5A;
    result = writeSettings(logger, changed.timeInterval, changed.distanceInterval, changed.vibration,
                           changed.tagFunction, "voice file", changed.minimumSpeed, changed.userPoints,
                           changed.idleTimer, changed.tagMode, changed.timeZone);
    std::printf("write settings: %d\n", result);
    Settings back;
    result = ReadSettings(readSettings, logger, back);
    std::printf("read back: %d, %s, %s\n", result, back.Text().c_str(),
                back.Text() == changed.Text() ? "as written" : "NOT as written");
    std::printf("erase: %d\n", erase(logger));
    const int remeasured = memory(&used);
    std::printf("memory after erase: %d, %d bytes used\n", remeasured, used);
  }
  std::printf("exit dump mode: %d\n", exitDumpMode());
  return 0;
}
