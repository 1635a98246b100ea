#include "settings/SettingsController.h"

#include <string>

#include "api/DeviceCodes.h"
#include "core/ControlIds.h"
#include "device/DumpMode.h"
#include "device/LoggerErase.h"

namespace quillon {

namespace {

// What a radio button stores only marks its mode in use; the update replaces
// it with the edit's value before anything is sent.
constexpr std::int32_t kTimeIntervalMark = 5;
constexpr std::int32_t kDistanceIntervalMark = 100;

constexpr std::uint8_t kVibrationOff = 0;
constexpr std::uint8_t kVibrationOn = 2;
constexpr std::uint8_t kTagFunctionOff = 0;
constexpr std::uint8_t kTagFunctionOn = 1;

}  // namespace

SettingsController::SettingsController(AppState& state, DeviceLibrary& library, MessageBoxes& ownerless)
    : state_(state), library_(library), ownerless_(ownerless) {}

std::uint8_t SettingsController::SettingsPort() const { return static_cast<std::uint8_t>(state_.device.scanPort); }

bool SettingsController::OnInitDialog(WindowView& dialog) {
  if (!EnterDumpMode(state_, library_, ownerless_, dialog)) return false;
  shownDialog_ = &dialog;
  ReadSettings(dialog);
  return true;
}

void SettingsController::ReadSettings(WindowView& dialog) {
  if (!RequireEntryPoint(library_, EntryPoint::kReadSettingValue, dialog)) return;
  LoggerSettingValues read{};
  const std::uint8_t port = SettingsPort();
  int result = 0;
  dialog.RunBusy("Reading the logger settings", [&] { result = library_.ReadSettingValue(port, &read); });
  // After a failed read the logger stays in dump mode; the next operation
  // enters it anew.
  switch (result) {
    case code::kReadSettingSuccessful:
      LeaveDumpMode(library_, ownerless_, dialog);
      ShowReadSettings(read, dialog);
      break;
    case code::kNotDumpMode:
      ShowApiReturn(dialog, "not dump mode");
      break;
    case code::kDeviceNotReport:
      ShowApiReturn(dialog, " device not report");
      break;
    default:
      break;
  }
}

// The record takes the interval mode the logger reports, so that a logger
// logging by distance can be updated without choosing "By Distance" again.
void SettingsController::ShowReadSettings(const LoggerSettingValues& read, WindowView& dialog) {
  LoggerSettingsRecord& record = state_.loggerSettings;
  if (read.timeInterval != kIntervalNotUsed) {
    record.timeInterval = read.timeInterval;
    record.distanceInterval = kIntervalNotUsed;
    dialog.SetItemText(ids::kTimeIntervalEdit, std::to_string(read.timeInterval));
    dialog.SetChecked(ids::kByTime, true);
  } else {
    record.timeInterval = kIntervalNotUsed;
  }
  if (read.distanceInterval != kIntervalNotUsed) {
    record.distanceInterval = read.distanceInterval;
    record.timeInterval = kIntervalNotUsed;
    dialog.SetItemText(ids::kDistanceIntervalEdit, std::to_string(read.distanceInterval));
    dialog.SetChecked(ids::kByDistance, true);
  } else {
    record.distanceInterval = kIntervalNotUsed;
  }
  if (read.vibration == kVibrationOff || read.vibration == kVibrationOn) {
    dialog.SetChecked(read.vibration == kVibrationOn ? ids::kVibrationEnable : ids::kVibrationDisable, true);
    record.vibration = read.vibration;
  }
  const bool tagOn = read.tagFunction != kTagFunctionOff;
  dialog.SetChecked(tagOn ? ids::kTagEnable : ids::kTagDisable, true);
  record.tagFunction = tagOn ? kTagFunctionOn : kTagFunctionOff;
  dialog.SetItemText(ids::kMinimumSpeedEdit, std::to_string(read.minimumSpeed));
  dialog.SetItemText(ids::kIdleTimerEdit, std::to_string(read.idleTimer));
}

void SettingsController::OnRadio(int controlId) {
  LoggerSettingsRecord& record = state_.loggerSettings;
  switch (controlId) {
    case ids::kByTime:
      record.timeInterval = kTimeIntervalMark;
      record.distanceInterval = kIntervalNotUsed;
      break;
    case ids::kByDistance:
      record.timeInterval = kIntervalNotUsed;
      record.distanceInterval = kDistanceIntervalMark;
      break;
    case ids::kVibrationDisable:
      record.vibration = kVibrationOff;
      break;
    case ids::kVibrationEnable:
      record.vibration = kVibrationOn;
      break;
    case ids::kTagDisable:
      record.tagFunction = kTagFunctionOff;
      break;
    case ids::kTagEnable:
      record.tagFunction = kTagFunctionOn;
      break;
    default:
      break;
  }
}

void SettingsController::OnEraseAllLogData(WindowView& busyHost) {
  MessageBoxes& messages = shownDialog_ ? static_cast<MessageBoxes&>(*shownDialog_) : ownerless_;
  EraseAllLogData(state_, library_, messages, ownerless_, busyHost);
}

}  // namespace quillon
