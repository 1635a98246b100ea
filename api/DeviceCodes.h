#pragma once

// Device result codes returned by the entry points of ORVEX_DLL.dll.
namespace quillon::code {

inline constexpr int kDumpSuccessful = 2;            // TQ_ORVEX_DUMP_DB
inline constexpr int kComPortOpenError = 3;          // the COM port cannot be opened
inline constexpr int kNotIntoDumpMode = 4;           // the logger does not enter dump mode
inline constexpr int kPcMemoryNotEnough = 5;         // PC memory exhausted
inline constexpr int kCantBuildDumpFile = 6;         // dump files cannot be built or opened: 6 to 11
inline constexpr int kCantBuildStorDbFile = 7;
inline constexpr int kCantBuildOutputFile = 8;
inline constexpr int kCantOpenDumpFile = 9;
inline constexpr int kCantOpenStorDbFile = 10;
inline constexpr int kCantOpenOutputFile = 11;
inline constexpr int kDeviceNotReport = 12;          // the logger stops answering
inline constexpr int kEraseSuccessful = 13;          // TQ_ORVEX_ERASE_All_DB
inline constexpr int kSettingSuccessful = 14;        // TQ_ORVEX_SETTING_DEVICE
inline constexpr int kSettingValueError = 15;
inline constexpr int kUncompletedWaveFiles = 16;
inline constexpr int kVoiceFileTooLarge = 17;        // a wave file over 128K bytes
inline constexpr int kSettingFail = 18;
inline constexpr int kTimeIntervalOver = 19;         // over 3600 seconds
inline constexpr int kDistanceIntervalOver = 20;     // over 3000 metres
inline constexpr int kReadSettingSuccessful = 22;    // TQ_ORVEX_READ_SETTING_VALUE
inline constexpr int kWaveFilePathError = 23;        // "voice file" exists but is no folder
inline constexpr int kIntoDumpMode = 24;             // both dump-mode entries
inline constexpr int kNotDumpMode = 26;              // a call that needs dump mode without it
inline constexpr int kDeviceInformationNull = 27;
inline constexpr int kDeviceInformationUnreadable = 28;
inline constexpr int kMinSpeedOver = 30;             // over 20 knots
inline constexpr int kGpsUtcTimeInvalid = 38;
inline constexpr int kGpsUtcTimeRead = 39;           // TQ_ORVEX_READ_GPS_UTC_TIME_DATE
inline constexpr int kUserPointDataError = 43;
inline constexpr int kIdleTimerOverRange = 44;
inline constexpr int kMemoryUsedRead = 45;           // TQ_ORVEX_READ_MEMORY_USED_SIZE
inline constexpr int kTagModeError = 46;
inline constexpr int kTimeZoneError = 47;
inline constexpr int kMemoryUsedSizeError = 48;

}  // namespace quillon::code
