// The eleven C entry points of ORVEX_DLL.dll. Each one serialises access to
// the process-wide library state and keeps C++ exceptions from crossing the C
// boundary: running out of memory is the device result code 5, anything else
// unexpected counts as the logger not reporting.
#include <cstring>
#include <mutex>
#include <new>
#include <type_traits>

#include "api/DeviceCodes.h"
#include "api/OrvexApi.h"
#include "orvex/OrvexLibrary.h"

// The tool calls these through the pointer types of api/OrvexApi.h: each
// definition below must have exactly that type, calling convention included
// (__stdcall on 32-bit Windows).
#define ORVEX_SAME_TYPE(name) static_assert(std::is_same_v<decltype(&name), name##_FN>, #name)
ORVEX_SAME_TYPE(TQ_ORVEX_AUTO_INTO_DUMP_MODE);
ORVEX_SAME_TYPE(TQ_ORVEX_INTO_DUMP_MODE);
ORVEX_SAME_TYPE(TQ_ORVEX_EXIT_DUMP_MODE);
ORVEX_SAME_TYPE(TQ_ORVEX_READ_DEVICE_INFORMATION);
ORVEX_SAME_TYPE(TQ_ORVEX_READ_GPS_UTC_TIME_DATE);
ORVEX_SAME_TYPE(TQ_ORVEX_DUMP_DB);
ORVEX_SAME_TYPE(TQ_ORVEX_READ_MEMORY_USED_SIZE);
ORVEX_SAME_TYPE(TQ_ORVEX_READ_SETTING_VALUE);
ORVEX_SAME_TYPE(TQ_ORVEX_SETTING_DEVICE);
ORVEX_SAME_TYPE(TQ_ORVEX_ERASE_All_DB);
ORVEX_SAME_TYPE(TQ_ORVEX_READ_DLL_VERSION);
#undef ORVEX_SAME_TYPE

namespace {

using quillon::orvex::OrvexLibrary;

std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

template <typename Operation>
int Guarded(Operation operation) {
  try {
    std::lock_guard<std::mutex> lock(LibraryMutex());
    return operation(quillon::orvex::TheOrvexLibrary());
  } catch (const std::bad_alloc&) {
    return quillon::code::kPcMemoryNotEnough;
  } catch (...) {
    return quillon::code::kDeviceNotReport;
  }
}

}  // namespace

extern "C" {

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_AUTO_INTO_DUMP_MODE(int* portFound) {
  return Guarded([&](OrvexLibrary& library) { return library.AutoIntoDumpMode(portFound); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_INTO_DUMP_MODE(uint8_t port) {
  return Guarded([&](OrvexLibrary& library) { return library.IntoDumpMode(port); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_EXIT_DUMP_MODE(void) {
  return Guarded([&](OrvexLibrary& library) { return library.ExitDumpMode(); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_DEVICE_INFORMATION(uint8_t /*port: dump mode's line is used*/,
                                                              uint32_t* serialNumber, char* firmware,
                                                              char* distributor) {
  return Guarded(
      [&](OrvexLibrary& library) { return library.ReadDeviceInformation(serialNumber, firmware, distributor); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_GPS_UTC_TIME_DATE(uint8_t* hour, uint8_t* minute, uint8_t* second,
                                                             uint8_t* yearSince2000, uint8_t* day, uint8_t* month) {
  return Guarded([&](OrvexLibrary& library) {
    return library.ReadGpsUtcTimeDate(hour, minute, second, yearSince2000, day, month);
  });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_DUMP_DB(uint8_t /*port*/, const char* rawLogFileName) {
  return Guarded([&](OrvexLibrary& library) { return library.DumpDb(rawLogFileName); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_MEMORY_USED_SIZE(int* bytesUsed) {
  return Guarded([&](OrvexLibrary& library) { return library.ReadMemoryUsedSize(bytesUsed); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_SETTING_VALUE(uint8_t /*port*/, int32_t* timeInterval,
                                                         int32_t* distanceInterval, uint8_t* vibration,
                                                         uint8_t* tagFunction, uint8_t* minimumSpeed,
                                                         uint8_t* userPointBlock, uint8_t* idleTimer,
                                                         uint8_t* tagMode, int8_t* timeZone) {
  return Guarded([&](OrvexLibrary& library) {
    quillon::orvex::LoggerSettings settings;
    int result = library.ReadSettingValue(settings);
    if (result != quillon::code::kReadSettingSuccessful) return result;
    if (timeInterval) *timeInterval = settings.timeInterval;
    if (distanceInterval) *distanceInterval = settings.distanceInterval;
    if (vibration) *vibration = settings.vibration;
    if (tagFunction) *tagFunction = settings.tagFunction;
    if (minimumSpeed) *minimumSpeed = settings.minimumSpeed;
    if (userPointBlock) std::memcpy(userPointBlock, settings.userPoints.data(), settings.userPoints.size());
    if (idleTimer) *idleTimer = settings.idleTimer;
    if (tagMode) *tagMode = settings.tagMode;
    if (timeZone) *timeZone = settings.timeZone;
    return result;
  });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_SETTING_DEVICE(uint8_t /*port*/, int32_t timeInterval, int32_t distanceInterval,
                                                     uint8_t vibration, uint8_t tagFunction,
                                                     const char* voiceFilePath, uint8_t minimumSpeed,
                                                     const uint8_t* userPointBlock, uint8_t idleTimer,
                                                     uint8_t tagMode, int8_t timeZone) {
  return Guarded([&](OrvexLibrary& library) {
    if (userPointBlock == nullptr) return quillon::code::kUserPointDataError;
    quillon::orvex::LoggerSettings settings;
    settings.timeInterval = timeInterval;
    settings.distanceInterval = distanceInterval;
    settings.vibration = vibration;
    settings.tagFunction = tagFunction;
    settings.minimumSpeed = minimumSpeed;
    std::memcpy(settings.userPoints.data(), userPointBlock, settings.userPoints.size());
    settings.idleTimer = idleTimer;
    settings.tagMode = tagMode;
    settings.timeZone = timeZone;
    return library.SettingDevice(settings, voiceFilePath);
  });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_ERASE_All_DB(uint8_t /*port*/) {
  return Guarded([&](OrvexLibrary& library) { return library.EraseAllDb(); });
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_DLL_VERSION(char* version) {
  return Guarded([&](OrvexLibrary& library) { return library.ReadDllVersion(version); });
}

}  // extern "C"
