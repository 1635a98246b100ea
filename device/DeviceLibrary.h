#pragma once

#include <cstdint>

namespace quillon {

// The entry points of the device library, one virtual each. Has() tells
// whether the bound library provides an entry point; callers test it and show
// "ORVEX_DLL.dll not find" instead of calling one that is missing.
enum class EntryPoint {
  kAutoIntoDumpMode,
  kIntoDumpMode,
  kExitDumpMode,
  kReadDeviceInformation,
  kReadGpsUtcTimeDate,
  kDumpDb,
  kReadMemoryUsedSize,
  kReadSettingValue,
  kSettingDevice,
  kEraseAllDb,
  kReadDllVersion,
};
inline constexpr int kEntryPointCount = 11;

struct LoggerSettingValues {
  std::int32_t timeInterval = 0;
  std::int32_t distanceInterval = 0;
  std::uint8_t vibration = 0;
  std::uint8_t tagFunction = 0;
  std::uint8_t minimumSpeed = 0;
  std::uint8_t userPointBlock[160] = {};
  std::uint8_t idleTimer = 0;
  std::uint8_t tagMode = 0;
  std::int8_t timeZone = 0;
};

class DeviceLibrary {
 public:
  virtual ~DeviceLibrary() = default;
  virtual bool Has(EntryPoint entry) const = 0;

  virtual int AutoIntoDumpMode(int* portFound) = 0;
  virtual int IntoDumpMode(std::uint8_t port) = 0;
  virtual int ExitDumpMode() = 0;
  virtual int ReadDeviceInformation(std::uint8_t port, std::uint32_t* serialNumber, char* firmware /* 8 */,
                                    char* distributor /* 32 */) = 0;
  virtual int ReadGpsUtcTimeDate(std::uint8_t* hour, std::uint8_t* minute, std::uint8_t* second,
                                 std::uint8_t* yearSince2000, std::uint8_t* day, std::uint8_t* month) = 0;
  virtual int DumpDb(std::uint8_t port, const char* rawLogFileName) = 0;
  virtual int ReadMemoryUsedSize(int* bytesUsed) = 0;
  // Reads into every field of values, the user point block included.
  virtual int ReadSettingValue(std::uint8_t port, LoggerSettingValues* values) = 0;
  virtual int SettingDevice(std::uint8_t port, const LoggerSettingValues& values, const char* voiceFilePath) = 0;
  virtual int EraseAllDb(std::uint8_t port) = 0;
};

}  // namespace quillon
