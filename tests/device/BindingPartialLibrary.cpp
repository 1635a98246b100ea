// A device library for the binding tests: every entry point but the GPS time
// read, each answering in a way that shows whether the binding handed its
// arguments over in the right order.
#include <cstring>

#include "api/OrvexApi.h"
#include "tests/device/BindingTestValues.h"

extern "C" {

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_AUTO_INTO_DUMP_MODE(int* portFound) {
  *portFound = kBindingAutoPort;
  return 24;
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_INTO_DUMP_MODE(uint8_t port) { return 100 + port; }

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_EXIT_DUMP_MODE(void) { return kBindingExitCode; }

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_DEVICE_INFORMATION(uint8_t port, uint32_t* serialNumber, char* firmware,
                                                              char* distributor) {
  *serialNumber = kBindingSerial;
  std::strcpy(firmware, kBindingFirmware);
  std::strcpy(distributor, kBindingDistributor);
  return port;
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_DUMP_DB(uint8_t port, const char* rawLogFileName) {
  return std::strcmp(rawLogFileName, kBindingRawLogName) == 0 ? 2 + port : 0;
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_MEMORY_USED_SIZE(int* bytesUsed) {
  *bytesUsed = kBindingBytesUsed;
  return 45;
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_SETTING_VALUE(uint8_t port, int32_t* timeInterval,
                                                         int32_t* distanceInterval, uint8_t* vibration,
                                                         uint8_t* tagFunction, uint8_t* minimumSpeed,
                                                         uint8_t* userPointBlock, uint8_t* idleTimer,
                                                         uint8_t* tagMode, int8_t* timeZone) {
  *timeInterval = 1;
  *distanceInterval = 2;
  *vibration = 3;
  *tagFunction = 4;
  *minimumSpeed = 5;
  for (int i = 0; i < ORVEX_USER_POINT_BLOCK_SIZE; ++i) userPointBlock[i] = static_cast<uint8_t>(i);
  *idleTimer = 6;
  *tagMode = 7;
  *timeZone = -8;
  return 20 + port;
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_SETTING_DEVICE(uint8_t port, int32_t timeInterval, int32_t distanceInterval,
                                                     uint8_t vibration, uint8_t tagFunction,
                                                     const char* voiceFilePath, uint8_t minimumSpeed,
                                                     const uint8_t* userPointBlock, uint8_t idleTimer,
                                                     uint8_t tagMode, int8_t timeZone) {
  for (int i = 0; i < ORVEX_USER_POINT_BLOCK_SIZE; ++i) {
    if (userPointBlock[i] != 0xFF) return 43;
  }
  bool asSent = port == 9 && timeInterval == 61 && distanceInterval == -1 && vibration == 2 && tagFunction == 1 &&
                std::strcmp(voiceFilePath, "voice file") == 0 && minimumSpeed == 7 && idleTimer == 11 &&
                tagMode == 0 && timeZone == -3;
  return asSent ? 14 : 15;
}

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_ERASE_All_DB(uint8_t port) { return port == 5 ? 13 : 12; }

ORVEX_EXPORT int ORVEX_CALL TQ_ORVEX_READ_DLL_VERSION(char* version) {
  std::strcpy(version, "partial");
  return 0;
}

}  // extern "C"
