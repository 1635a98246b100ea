#include "device/LogDownload.h"

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "api/DeviceCodes.h"
#include "core/ControlIds.h"
#include "core/MessageTexts.h"
#include "device/DownloadProgress.h"
#include "device/ConnectionHandlers.h"
#include "device/DumpMode.h"
#include "device/LoggerErase.h"
#include "logdata/RawLogSelection.h"
#include "platform/SystemClock.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

const char* DumpFailureMessage(int result) {
  switch (result) {
    case code::kNotDumpMode:
      return kCantIntoDumpModeMessage;
    case code::kPcMemoryNotEnough:
      return kMemoryNotEnoughMessage;
    case code::kCantBuildDumpFile:
      return "Can't build dump file";
    case code::kCantBuildStorDbFile:
      return "Can't build StorDB file";
    case code::kCantBuildOutputFile:
      return "Can't build output file";
    case code::kCantOpenDumpFile:
      return "Can't open dump file";
    case code::kCantOpenStorDbFile:
      return "Can't open storDB file";
    case code::kCantOpenOutputFile:
      return "Can't open output file";
    case code::kDeviceNotReport:
      return kDeviceNotReportMessage;
    default:
      return nullptr;
  }
}

}  // namespace

std::string RawLogNameAt(std::time_t now, std::uint32_t serialNumber) {
  const std::tm local = LocalCalendarTime(now);
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return std::string("Rawdata") + kPathSeparator + stamp + "_Rawdata_" + std::to_string(serialNumber) + ".txt";
}

void BuildRawLogName(AppState& state) { state.rawLogPath = RawLogNameAt(std::time(nullptr), state.device.serialNumber); }

void OnDownloadLog(AppState& state, DeviceLibrary& library, WindowView& view, MessageBoxes& ownerless) {
  if (!state.device.portOpened) {
    ShowApiReturn(view, kPleaseOpenComPortMessage);
    return;
  }
  // Named before the logger is touched: a failed dump leaves the new name.
  BuildRawLogName(state);
  if (!EnterDumpMode(state, library, view, view)) return;
  if (!RequireEntryPoint(library, EntryPoint::kDumpDb, view)) return;
  const std::uint8_t port = SelectedPort(state);
  const std::string fileName = state.rawLogPath;
  int result = 0;
  // The watch only looks at file sizes from the progress window's timer, so
  // the download itself is not slowed.
  GrowingFileWatch watch(Utf8Path(fileName).parent_path());
  const auto started = std::chrono::steady_clock::now();
  view.RunBusyReporting(
      "Downloading the logger data", [&] { result = library.DumpDb(port, fileName.c_str()); },
      [&] {
        std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
        return FormatReceived(watch.Received(), elapsed.count());
      });
  if (result != code::kDumpSuccessful) {
    if (const char* message = DumpFailureMessage(result)) ShowApiReturn(view, message);
    return;
  }
  ReloadLogData(state, view);
  view.SetItemText(ids::kFileNameLabel, state.rawLogPath);
  ShowApiReturn(view, kDumpSuccessfulMessage);
  LeaveDumpMode(library, view, view);
  if (view.ShowMessage(kEraseQuestionMessage, kLowerInfoCaption, MessageButtons::kOkCancel) !=
      MessageAnswer::kOk) {
    return;
  }
  // No Settings Dialog is shown here, so the erase reports on ownerless too.
  EraseAllLogData(state, library, ownerless, ownerless, view);
}

}  // namespace quillon
