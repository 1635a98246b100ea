#pragma once

#include <cstdint>

#include "core/AppState.h"
#include "core/WindowView.h"
#include "device/DeviceLibrary.h"

namespace quillon {

// The behaviour of the Settings Dialog ("Logger Setting - Demo Software").
// The window forwards its opening and its commands here; what it shows and
// edits is reached through WindowView. The settings themselves live in the
// process-wide state.loggerSettings, so they outlast the dialog.
//
// Entering and leaving dump mode report on `ownerless`, even while the dialog
// is shown. The erase also works on an object whose dialog is never shown:
// its own messages then go to `ownerless` too.
class SettingsController {
 public:
  SettingsController(AppState& state, DeviceLibrary& library, MessageBoxes& ownerless);

  // The opening: dump mode, then Read Settings into the dialog. False when the
  // logger did not enter dump mode: the dialog is to close at once, unshown.
  bool OnInitDialog(WindowView& dialog);
  // The radio buttons 1035 to 1040: they set fields of the settings record.
  void OnRadio(int controlId);
  // "Update Setting Value" (3): validates the edits and writes every setting.
  void OnUpdateSettingValue(WindowView& dialog);
  // "Erase All Log Data" (1043): erases the logger's memory at once. The
  // device calls run through busyHost; the messages go to the dialog when
  // OnInitDialog opened it, to `ownerless` otherwise.
  void OnEraseAllLogData(WindowView& busyHost);

 private:
  void ReadSettings(WindowView& dialog);
  void ShowReadSettings(const LoggerSettingValues& read, WindowView& dialog);
  // Steps of the update that stop it with a message when a field is unusable.
  bool TakeIntervals(WindowView& dialog);
  bool TakeMinimumSpeedAndIdleTimer(WindowView& dialog);
  // The settings calls address the port of the last automatic scan.
  std::uint8_t SettingsPort() const;

  AppState& state_;
  DeviceLibrary& library_;
  MessageBoxes& ownerless_;
  WindowView* shownDialog_ = nullptr;
};

}  // namespace quillon
