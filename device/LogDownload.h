#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "core/AppState.h"
#include "core/WindowView.h"
#include "device/DeviceLibrary.h"

namespace quillon {

// The name of a new raw log: Rawdata/<local YYYYMMDDhhmmss>_Rawdata_<serial>.txt,
// relative to the working directory.
std::string RawLogNameAt(std::time_t now, std::uint32_t serialNumber);

// Writes the name for a download started now into rawLogPath.
void BuildRawLogName(AppState& state);

// "Dump Logger data" (command 4): the logger's memory into a new raw log,
// reloaded at once, then the offer to erase the logger. The erase reports on
// ownerless, as it runs without the Settings Dialog being shown.
void OnDownloadLog(AppState& state, DeviceLibrary& library, WindowView& view, MessageBoxes& ownerless);

}  // namespace quillon
