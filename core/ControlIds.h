#pragma once

// Command and control ids of the Main Window (template 102) and of the
// Settings Dialog (template 129). Ids 2 and 3 are the dialog framework's
// cancel and ok-style commands and are reused by both windows.
namespace quillon::ids {

// Main Window
inline constexpr int kOutputTrackmaker = 1004;
inline constexpr int kExit = 2;
inline constexpr int kComPortList = 1001;
inline constexpr int kOutputGoogleEarth = 3;
inline constexpr int kDumpLoggerData = 4;
inline constexpr int kBuildOutputFile = 1002;
inline constexpr int kOutputLocr = 1003;
inline constexpr int kAutoOpenComPort = 1005;
inline constexpr int kManualOpenComPort = 1006;
inline constexpr int kReadDeviceInformation = 1007;  // command only, no control
inline constexpr int kAutoScanLabel = 1029;
inline constexpr int kReadGpsUtcTime = 1008;
inline constexpr int kUseLocalTime = 1010;
inline constexpr int kRangeAll = 1011;
inline constexpr int kRangeByDate = 1012;
inline constexpr int kRangeByTag = 1013;
inline constexpr int kFromYear = 1015;
inline constexpr int kFromMonth = 1016;
inline constexpr int kFromDay = 1017;
inline constexpr int kFromHour = 1018;
inline constexpr int kToYear = 1019;
inline constexpr int kToMonth = 1020;
inline constexpr int kToDay = 1021;
inline constexpr int kToHour = 1022;
inline constexpr int kTagBox = 1023;
inline constexpr int kSerialNumberLabel = 1025;
inline constexpr int kFirmwareVersionLabel = 1026;
inline constexpr int kUtcTimeLabel = 1028;
inline constexpr int kFileNameLabel = 1031;
inline constexpr int kLoggerSetting = 1000;
inline constexpr int kMemoryUsedLabel = 1050;
inline constexpr int kFreeMemoryLabel = 1051;
inline constexpr int kReadMemoryUsedStatus = 1053;
inline constexpr int kReloadLogData = 5;  // command only, no control
inline constexpr int kAboutCommand = 16;  // system-menu / context-menu item
// Commands beyond the template's controls, in the same menu; multiples of 16
// like the About item, as a system menu wants its own items.
inline constexpr int kBuildGpxFile = 32;
inline constexpr int kTrackView = 48;
inline constexpr int kOpenRawLog = 64;
inline constexpr int kGeotagPhotos = 80;

// Settings Dialog
inline constexpr int kEraseAllLogData = 1043;
inline constexpr int kSettingsExit = 2;
inline constexpr int kUpdateSettingValue = 3;
inline constexpr int kByTime = 1035;
inline constexpr int kByDistance = 1036;
inline constexpr int kVibrationDisable = 1037;
inline constexpr int kVibrationEnable = 1038;
inline constexpr int kTagDisable = 1039;
inline constexpr int kTagEnable = 1040;
inline constexpr int kTimeIntervalEdit = 1041;
inline constexpr int kMinimumSpeedEdit = 1042;
inline constexpr int kIdleTimerEdit = 1044;
inline constexpr int kDistanceIntervalEdit = 1047;
inline constexpr int kSettingsHiddenList = 1001;

}  // namespace quillon::ids
