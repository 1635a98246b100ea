#pragma once

// The eleven entry points of ORVEX_DLL.dll, as the logger vendor's library
// exports them and as our stand-in library implements them. Every entry point
// returns a device result code (api/DeviceCodes.h). This folder is the
// contract between the tool and the library: both include it, neither
// includes the other.
#include <stdint.h>

#include "platform/SharedLibraryAbi.h"

// __stdcall on 32-bit Windows, where the vendor's library uses it; empty
// elsewhere.
#define ORVEX_CALL QUILLON_STDCALL
#define ORVEX_EXPORT QUILLON_LIBRARY_EXPORT

#ifdef __cplusplus
extern "C" {
#endif

#define ORVEX_USER_POINT_BLOCK_SIZE 160
#define ORVEX_FIRMWARE_SIZE 8
#define ORVEX_DISTRIBUTOR_SIZE 32
#define ORVEX_DLL_VERSION_SIZE 16

typedef int(ORVEX_CALL* TQ_ORVEX_AUTO_INTO_DUMP_MODE_FN)(int* portFound);
typedef int(ORVEX_CALL* TQ_ORVEX_INTO_DUMP_MODE_FN)(uint8_t port);
typedef int(ORVEX_CALL* TQ_ORVEX_EXIT_DUMP_MODE_FN)(void);
typedef int(ORVEX_CALL* TQ_ORVEX_READ_DEVICE_INFORMATION_FN)(uint8_t port, uint32_t* serialNumber,
                                                              char* firmware /* 8 bytes */,
                                                              char* distributor /* 32 bytes */);
typedef int(ORVEX_CALL* TQ_ORVEX_READ_GPS_UTC_TIME_DATE_FN)(uint8_t* hour, uint8_t* minute, uint8_t* second,
                                                             uint8_t* yearSince2000, uint8_t* day,
                                                             uint8_t* month);
typedef int(ORVEX_CALL* TQ_ORVEX_DUMP_DB_FN)(uint8_t port, const char* rawLogFileName);
typedef int(ORVEX_CALL* TQ_ORVEX_READ_MEMORY_USED_SIZE_FN)(int* bytesUsed);
typedef int(ORVEX_CALL* TQ_ORVEX_READ_SETTING_VALUE_FN)(uint8_t port, int32_t* timeInterval,
                                                         int32_t* distanceInterval, uint8_t* vibration,
                                                         uint8_t* tagFunction, uint8_t* minimumSpeed,
                                                         uint8_t* userPointBlock /* 160 bytes */,
                                                         uint8_t* idleTimer, uint8_t* tagMode,
                                                         int8_t* timeZone);
typedef int(ORVEX_CALL* TQ_ORVEX_SETTING_DEVICE_FN)(uint8_t port, int32_t timeInterval, int32_t distanceInterval,
                                                     uint8_t vibration, uint8_t tagFunction,
                                                     const char* voiceFilePath, uint8_t minimumSpeed,
                                                     const uint8_t* userPointBlock /* 160 bytes */,
                                                     uint8_t idleTimer, uint8_t tagMode, int8_t timeZone);
typedef int(ORVEX_CALL* TQ_ORVEX_ERASE_All_DB_FN)(uint8_t port);
// Fills a NUL-terminated version text of at most 16 bytes.
typedef int(ORVEX_CALL* TQ_ORVEX_READ_DLL_VERSION_FN)(char* version);

// The library's own definitions are checked against these declarations; the
// tool reaches the entry points only through the pointer types above.
#ifdef ORVEX_BUILDING_LIBRARY
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_AUTO_INTO_DUMP_MODE(int* portFound);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_INTO_DUMP_MODE(uint8_t port);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_EXIT_DUMP_MODE(void);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_DEVICE_INFORMATION(uint8_t port, uint32_t* serialNumber, char* firmware,
                                                              char* distributor);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_GPS_UTC_TIME_DATE(uint8_t* hour, uint8_t* minute, uint8_t* second,
                                                             uint8_t* yearSince2000, uint8_t* day, uint8_t* month);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_DUMP_DB(uint8_t port, const char* rawLogFileName);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_MEMORY_USED_SIZE(int* bytesUsed);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_SETTING_VALUE(uint8_t port, int32_t* timeInterval,
                                                         int32_t* distanceInterval, uint8_t* vibration,
                                                         uint8_t* tagFunction, uint8_t* minimumSpeed,
                                                         uint8_t* userPointBlock, uint8_t* idleTimer,
                                                         uint8_t* tagMode, int8_t* timeZone);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_SETTING_DEVICE(uint8_t port, int32_t timeInterval, int32_t distanceInterval,
                                                     uint8_t vibration, uint8_t tagFunction,
                                                     const char* voiceFilePath, uint8_t minimumSpeed,
                                                     const uint8_t* userPointBlock, uint8_t idleTimer,
                                                     uint8_t tagMode, int8_t timeZone);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_ERASE_All_DB(uint8_t port);
ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_DLL_VERSION(char* version);
#endif

#ifdef __cplusplus
}
#endif
