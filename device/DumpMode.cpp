#include "device/DumpMode.h"

#include "api/DeviceCodes.h"

namespace quillon {

void ShowApiReturn(MessageBoxes& owner, const std::string& text) { owner.ShowMessage(text, kApiReturnCaption); }

bool RequireEntryPoint(const DeviceLibrary& library, EntryPoint entry, MessageBoxes& owner) {
  if (library.Has(entry)) return true;
  ShowApiReturn(owner, kLibraryNotFoundMessage);
  return false;
}

std::uint8_t SelectedPort(const AppState& state) { return static_cast<std::uint8_t>(state.comPortList.GetCurSel()); }

bool EnterDumpMode(AppState& state, DeviceLibrary& library, MessageBoxes& owner, WindowView& busyHost) {
  if (!RequireEntryPoint(library, EntryPoint::kIntoDumpMode, owner)) return false;
  const std::uint8_t port = SelectedPort(state);
  int result = 0;
  busyHost.RunBusy("Connecting to the logger", [&] { result = library.IntoDumpMode(port); });
  switch (result) {
    case code::kIntoDumpMode:
      return true;
    case code::kComPortOpenError:
      ShowApiReturn(owner, kOpenComPortErrorMessage);
      return false;
    case code::kNotIntoDumpMode:
      ShowApiReturn(owner, kCantIntoDumpModeMessage);
      return false;
    default:
      return false;
  }
}

void LeaveDumpMode(DeviceLibrary& library, MessageBoxes& owner, WindowView& busyHost) {
  if (!RequireEntryPoint(library, EntryPoint::kExitDumpMode, owner)) return;
  busyHost.RunBusy("Releasing the logger", [&] { library.ExitDumpMode(); });
}

}  // namespace quillon
