#include "device/ConnectionHandlers.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "api/DeviceCodes.h"
#include "core/ControlIds.h"
#include "device/DumpMode.h"

namespace quillon {

namespace {


// The library fills the firmware buffer; it need not end in a NUL.
std::string FirmwareText(const DeviceState& device) {
  return std::string(device.firmwareVersion, strnlen(device.firmwareVersion, sizeof device.firmwareVersion));
}

// What both openings do once the logger is in dump mode. A failed device
// information read does not undo the opening.
void CompleteOpening(AppState& state, DeviceLibrary& library, WindowView& view) {
  state.device.portOpened = true;
  ReadDeviceInformation(state, library, view);
  LeaveDumpMode(library, view, view);
  for (int id : {ids::kReadGpsUtcTime, ids::kDumpLoggerData, ids::kLoggerSetting, ids::kReadMemoryUsedStatus}) {
    view.EnableItem(id, true);
  }
}

bool RequirePortOpened(const AppState& state, WindowView& view) {
  if (state.device.portOpened) return true;
  ShowApiReturn(view, kPleaseOpenComPortMessage);
  return false;
}

}  // namespace

void ReadDeviceInformation(AppState& state, DeviceLibrary& library, WindowView& view) {
  if (!RequireEntryPoint(library, EntryPoint::kReadDeviceInformation, view)) return;
  const std::uint8_t port = SelectedPort(state);
  DeviceState& device = state.device;
  int result = 0;
  view.RunBusy("Reading the device information", [&] {
    result = library.ReadDeviceInformation(port, &device.serialNumber, device.firmwareVersion, device.distributorName);
  });
  switch (result) {
    case code::kDeviceNotReport:
      ShowApiReturn(view, kDeviceNotReportMessage);
      return;
    case code::kNotDumpMode:
      ShowApiReturn(view, kCantIntoDumpModeMessage);
      return;
    case code::kDeviceInformationNull:
      ShowApiReturn(view, "Device information is null");
      return;
    case code::kDeviceInformationUnreadable:
      ShowApiReturn(view, "Can't read device information");
      return;
    default:
      view.SetItemText(ids::kSerialNumberLabel, "Serial Number : " + std::to_string(device.serialNumber));
      view.SetItemText(ids::kFirmwareVersionLabel, "Firmware Version : " + FirmwareText(device));
  }
}

void OnAutoOpenComPort(AppState& state, DeviceLibrary& library, WindowView& view) {
  if (!RequireEntryPoint(library, EntryPoint::kAutoIntoDumpMode, view)) return;
  int result = 0;
  view.RunBusy("Searching the COM ports for the logger",
               [&] { result = library.AutoIntoDumpMode(&state.device.scanPort); });
  if (result == code::kComPortOpenError) {
    ShowApiReturn(view, kOpenComPortErrorMessage);
    return;
  }
  if (result == code::kNotIntoDumpMode) {
    ShowApiReturn(view, kCantIntoDumpModeMessage);
    return;
  }
  if (result != code::kIntoDumpMode) return;
  const int port = state.device.scanPort;
  // Port 0 means the scan did not say where it found the logger: the list
  // keeps its selection and the information is read on that port.
  if (port != 0) {
    view.SetItemText(ids::kAutoScanLabel, "( Auto Scan to COM " + std::to_string(port) + " )");
    state.comPortList.SetCurSel(port);
  }
  CompleteOpening(state, library, view);
}

void OnManualOpenComPort(AppState& state, DeviceLibrary& library, WindowView& view) {
  if (!EnterDumpMode(state, library, view, view)) return;
  CompleteOpening(state, library, view);
}

void OnReadGpsUtcTime(AppState& state, DeviceLibrary& library, WindowView& view) {
  if (!RequirePortOpened(state, view)) return;
  if (!EnterDumpMode(state, library, view, view)) return;
  if (!RequireEntryPoint(library, EntryPoint::kReadGpsUtcTimeDate, view)) return;
  std::uint8_t hour = 0, minute = 0, second = 0, yearSince2000 = 0, day = 0, month = 0;
  int result = 0;
  view.RunBusy("Reading the GPS UTC time", [&] {
    result = library.ReadGpsUtcTimeDate(&hour, &minute, &second, &yearSince2000, &day, &month);
  });
  LeaveDumpMode(library, view, view);
  switch (result) {
    case code::kDeviceNotReport:
      ShowApiReturn(view, kDeviceNotReportMessage);
      break;
    case code::kNotDumpMode:
      ShowApiReturn(view, kCantIntoDumpModeMessage);
      break;
    case code::kGpsUtcTimeInvalid:
      ShowApiReturn(view, "Read GPS UTC time invalid");
      break;
    case code::kGpsUtcTimeRead: {
      char text[64];
      std::snprintf(text, sizeof text, "UTC Time :    %02d:%02d:%02d    %02d/%02d/%04d", hour, minute, second, month,
                    day, 2000 + yearSince2000);
      view.SetItemText(ids::kUtcTimeLabel, text);
      break;
    }
    default:
      break;
  }
}

void OnReadMemoryUsedStatus(AppState& state, DeviceLibrary& library, WindowView& view) {
  if (!RequireEntryPoint(library, EntryPoint::kReadMemoryUsedSize, view)) return;
  if (!EnterDumpMode(state, library, view, view)) return;
  int bytesUsed = 0;
  int result = 0;
  view.RunBusy("Reading the memory use", [&] { result = library.ReadMemoryUsedSize(&bytesUsed); });
  LeaveDumpMode(library, view, view);
  switch (result) {
    case code::kNotDumpMode:
      ShowApiReturn(view, " return_not_dump_mode");
      break;
    case code::kDeviceNotReport:
      ShowApiReturn(view, " return_device_not_report");
      break;
    case code::kMemoryUsedSizeError:
      ShowApiReturn(view, " return_read_memory_used_size_error");
      break;
    case code::kMemoryUsedRead: {
      // Wide arithmetic: any int the library reports gives its true free size.
      const long long freeBytes = static_cast<long long>(kLoggerMemoryBytes) - bytesUsed;
      view.SetItemText(ids::kMemoryUsedLabel, "Memory Used Size = " + std::to_string(bytesUsed) + " Bytes");
      view.SetItemText(ids::kFreeMemoryLabel, "Free Memory Size = " + std::to_string(freeBytes) + " Bytes");
      break;
    }
    default:
      break;
  }
}

void OnLoggerSetting(AppState& state, WindowView& view, const std::function<void()>& runSettingsDialog) {
  if (!RequirePortOpened(state, view)) return;
  runSettingsDialog();
}

}  // namespace quillon
