#pragma once

// The captions and texts of the message boxes that the behaviour code shows,
// in one place so that a text shown from two places cannot drift apart. The
// bytes are the ones the window shows; several keep their odd spacing and
// spelling on purpose.

namespace quillon {

// Captions.
inline constexpr char kApiReturnCaption[] = "API-return";
inline constexpr char kInfoCaption[] = "Info";
// The date range refusals and the erase question use the lower-case caption.
inline constexpr char kLowerInfoCaption[] = "info";
inline constexpr char kNoCaption[] = "";

// Device library and connection.
inline constexpr char kLibraryNotFoundMessage[] = "ORVEX_DLL.dll not find";
inline constexpr char kOpenComPortErrorMessage[] = "Open COM Port Error";
inline constexpr char kCantIntoDumpModeMessage[] = "Can't into dump mode.Please try again !!";
inline constexpr char kPleaseOpenComPortMessage[] = "Please Open Com Port \xEF\xBC\x81";  // ends in U+FF01
inline constexpr char kDeviceNotReportMessage[] = "Device not report ";
inline constexpr char kDumpSuccessfulMessage[] = "Dump Logger data successful";
inline constexpr char kEraseQuestionMessage[] = "DO you want to erase logger data now?";

// Raw log loading.
inline constexpr char kNoDumpFileMessage[] = "No any Dump Logger data file";
inline constexpr char kCantOpenRawLogMessage[] = "Can't open Rawdata.txt";
inline constexpr char kMemoryNotEnoughMessage[] = "Memory not enough ";

// Range selection.
inline constexpr char kNoRangeMessage[] = "Please choose 'log data range' ";
inline constexpr char kNoDateMessage[] = "Please set search date";
inline constexpr char kBadRangeMessage[] = "Please check search range";

// Exports. A written file is reported as kOutputToPrefix + name + one of the
// suffixes (the Trackmaker report has no blank before its end).
inline constexpr char kOutputToPrefix[] = "Output to ' ";
inline constexpr char kOutputToSuffix[] = " ' file ";
inline constexpr char kOutputToTrackmakerSuffix[] = " ' file";
inline constexpr char kCantOpenCsvMessage[] = "Can't open Output File,Please close file\xEF\xBC\x81\xEF\xBC\x81";
inline constexpr char kCantOpenGpxMessage[] = "Can't open GPX File,Please close file\xEF\xBC\x81\xEF\xBC\x81";
inline constexpr char kCantOpenKmlMessage[] = "Can not open save file";
inline constexpr char kCantOutputTrackmakerMessage[] = "Can not output Trackmaker file";
inline constexpr char kCantOutputLocrMessage[] = "Can not output Locr file";
inline constexpr char kGoogleEarthDownloadPrefix[] = "Please Download Google Earth from ";
inline constexpr char kLocrDownloadPrefix[] = "Please download locr from ";
inline constexpr char kShellUrlErrorMessage[] = "URL error";
inline constexpr char kShellBusyMessage[] = "Application busy";

// Settings Dialog.
inline constexpr char kNoIntervalModeMessage[] = " Log interval error,please choose By Time or By Distance";
inline constexpr char kTimeIntervalMessage[] = " Time interval value error,value range : 1 ~ 3600 second";
inline constexpr char kDistanceIntervalMessage[] = " Distance interval value error,value range : 25 ~ 3000 meter";
inline constexpr char kMinimumSpeedMessage[] = " Log Speed Limit error,value range : 0 ~ 20 knot";
inline constexpr char kIdleTimerMessage[] = " Into idle timer error,value range : 2 ~ 15 minute";

}  // namespace quillon
