// Drives the device library in the working directory through one session, as
// the tool's Auto Open and Dump do, and prints each call's result code:
//   orvex_com_probe RAWLOG
// tools/wine-com-check.sh runs it on Linux and under Wine against the same
// logger emulator and compares what the two print and dump.
#include <cstdint>
#include <cstdio>
#include <string>

#include "api/OrvexApi.h"
#include "platform/DynamicLibrary.h"

namespace {

template <typename Function>
Function Entry(const quillon::DynamicLibrary& library, const char* name) {
  Function function = reinterpret_cast<Function>(library.Find(name));
  if (function == nullptr) std::printf("missing entry point %s\n", name);
  return function;
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
  if (!autoOpen || !information || !gpsTime || !memory || !dump || !exitDumpMode) return 1;

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
  std::printf("dump: %d\n", dump(static_cast<std::uint8_t>(port), argv[1]));
  std::printf("exit dump mode: %d\n", exitDumpMode());
  return 0;
}
