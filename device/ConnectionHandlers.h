#pragma once

#include <functional>

#include "core/AppState.h"
#include "core/MessageTexts.h"
#include "core/WindowView.h"
#include "device/DeviceLibrary.h"

namespace quillon {

// The logger's memory: 3904 KiB.
inline constexpr int kLoggerMemoryBytes = 3904 * 1024;

// Command 1007: reads the serial number and firmware version on the selected
// port and shows them in labels 1025 and 1026. The caller has put the logger
// into dump mode.
void ReadDeviceInformation(AppState& state, DeviceLibrary& library, WindowView& view);

// "Auto Open Com Port" (1005): the library scans for the logger.
void OnAutoOpenComPort(AppState& state, DeviceLibrary& library, WindowView& view);
// "Manual Open Com Port" (1006): dump mode on the port selected in the list.
void OnManualOpenComPort(AppState& state, DeviceLibrary& library, WindowView& view);
// "Read GPS UTC Time" (1008).
void OnReadGpsUtcTime(AppState& state, DeviceLibrary& library, WindowView& view);
// "Read Memory Used Status" (1053).
void OnReadMemoryUsedStatus(AppState& state, DeviceLibrary& library, WindowView& view);
// "Logger Setting" (1000): runs the Settings Dialog modally once a port has
// been opened.
void OnLoggerSetting(AppState& state, WindowView& view, const std::function<void()>& runSettingsDialog);

}  // namespace quillon
