#include "device/LoggerErase.h"

#include <cstdint>

#include "api/DeviceCodes.h"
#include "device/DumpMode.h"

namespace quillon {

void EraseAllLogData(AppState& state, DeviceLibrary& library, MessageBoxes& messages, MessageBoxes& ownerless,
                     WindowView& busyHost) {
  if (!EnterDumpMode(state, library, ownerless, busyHost)) return;
  if (!RequireEntryPoint(library, EntryPoint::kEraseAllDb, messages)) return;
  const std::uint8_t port = static_cast<std::uint8_t>(state.device.scanPort);
  int result = 0;
  busyHost.RunBusy("Erasing the logger data", [&] { result = library.EraseAllDb(port); });
  LeaveDumpMode(library, ownerless, busyHost);
  switch (result) {
    case code::kNotDumpMode:
      ShowApiReturn(messages, "Not dump mode");
      break;
    case code::kDeviceNotReport:
      ShowApiReturn(messages, "Device not report");
      break;
    case code::kEraseSuccessful:
      ShowApiReturn(messages, "Erase database successful");
      break;
    default:
      break;
  }
}

}  // namespace quillon
