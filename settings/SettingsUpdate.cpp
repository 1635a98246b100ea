// Update Setting Value: validation of the edits and the write to the logger.
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "api/DeviceCodes.h"
#include "core/ControlIds.h"
#include "core/MessageTexts.h"
#include "device/DumpMode.h"
#include "settings/EditNumber.h"
#include "settings/SettingsController.h"

namespace quillon {

namespace {

constexpr std::int32_t kMinTimeInterval = 1;
constexpr std::int32_t kMaxTimeInterval = 3600;
constexpr std::int32_t kMinDistanceInterval = 25;
constexpr std::int32_t kMaxDistanceInterval = 3000;
constexpr std::int32_t kMaxMinimumSpeed = 20;
constexpr std::int32_t kMinIdleTimer = 2;
constexpr std::int32_t kMaxIdleTimer = 15;
constexpr std::int32_t kMaxByte = 255;

// The logger's clock offset that every write sends: UTC+8.
constexpr std::int8_t kTimeZoneSent = 8;
constexpr std::uint8_t kTagModeContinuous = 0;
constexpr char kVoiceFilePath[] = "voice file";

const char* SettingDeviceResultMessage(int result) {
  switch (result) {
    case code::kPcMemoryNotEnough:
      return " pc not enough memory";
    case code::kDeviceNotReport:
      return " device not report";
    case code::kSettingSuccessful:
      return " setting device successful";
    case code::kSettingValueError:
      return " setting value error";
    case code::kUncompletedWaveFiles:
      return " uncompleted wave files";
    case code::kVoiceFileTooLarge:
      return " Voice file size over 128K bytes";
    case code::kSettingFail:
      return " setting fail ... ";
    case code::kTimeIntervalOver:
      return " timeInterval over 3600 second error";
    case code::kDistanceIntervalOver:
      return " displacementinterval over 3000 meter error";
    case code::kWaveFilePathError:
      return " error wave file path";
    case code::kNotDumpMode:
      return " not dump mode";
    case code::kMinSpeedOver:
      return " log min speed over 20 knot error";
    case code::kUserPointDataError:
      return " user point data errer";
    case code::kIdleTimerOverRange:
      return " Into Idle Timer over rang error";
    case code::kTagModeError:
      return " tag mode error";
    case code::kTimeZoneError:
      return " time zone error";
    default:
      return nullptr;
  }
}

bool InRange(std::int32_t value, std::int32_t low, std::int32_t high) { return value >= low && value <= high; }

// The library may change the current directory while it looks for the voice
// files; the tool's files are all relative to the directory it started in.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() {
    std::error_code error;
    saved_ = std::filesystem::current_path(error);
    if (error) saved_.clear();
  }
  void Restore() const {
    if (saved_.empty()) return;
    std::error_code error;
    std::filesystem::current_path(saved_, error);
  }

 private:
  std::filesystem::path saved_;
};

}  // namespace

bool SettingsController::TakeIntervals(WindowView& dialog) {
  LoggerSettingsRecord& record = state_.loggerSettings;
  // Neither mode chosen (no successful read, no radio click): there is no
  // interval worth sending.
  if (record.timeInterval != kIntervalNotUsed && record.distanceInterval != kIntervalNotUsed) {
    ShowApiReturn(dialog, kNoIntervalModeMessage);
    return false;
  }
  if (record.distanceInterval == kIntervalNotUsed) {
    record.timeInterval = ParseEditNumber(dialog.GetItemText(ids::kTimeIntervalEdit));
    if (!InRange(record.timeInterval, kMinTimeInterval, kMaxTimeInterval)) {
      ShowApiReturn(dialog, kTimeIntervalMessage);
      return false;
    }
  }
  if (record.timeInterval == kIntervalNotUsed) {
    record.distanceInterval = ParseEditNumber(dialog.GetItemText(ids::kDistanceIntervalEdit));
    if (!InRange(record.distanceInterval, kMinDistanceInterval, kMaxDistanceInterval)) {
      ShowApiReturn(dialog, kDistanceIntervalMessage);
      return false;
    }
  }
  return true;
}

// Both values travel as one byte: a number outside 0 to 255 cannot be sent
// and stops the update; one that fits but lies outside the logger's range is
// only warned about and sent, for the logger to judge.
bool SettingsController::TakeMinimumSpeedAndIdleTimer(WindowView& dialog) {
  LoggerSettingsRecord& record = state_.loggerSettings;
  const std::int32_t speed = ParseEditNumber(dialog.GetItemText(ids::kMinimumSpeedEdit));
  if (!InRange(speed, 0, kMaxByte)) {
    ShowApiReturn(dialog, kMinimumSpeedMessage);
    return false;
  }
  record.minimumSpeed = static_cast<std::uint8_t>(speed);
  if (speed > kMaxMinimumSpeed) ShowApiReturn(dialog, kMinimumSpeedMessage);

  const std::int32_t idle = ParseEditNumber(dialog.GetItemText(ids::kIdleTimerEdit));
  if (!InRange(idle, 0, kMaxByte)) {
    ShowApiReturn(dialog, kIdleTimerMessage);
    return false;
  }
  record.idleTimer = static_cast<std::uint8_t>(idle);
  if (!InRange(idle, kMinIdleTimer, kMaxIdleTimer)) ShowApiReturn(dialog, kIdleTimerMessage);
  return true;
}

void SettingsController::OnUpdateSettingValue(WindowView& dialog) {
  if (!RequireEntryPoint(library_, EntryPoint::kSettingDevice, dialog)) return;
  if (!TakeIntervals(dialog)) return;
  if (!TakeMinimumSpeedAndIdleTimer(dialog)) return;

  LoggerSettingsRecord& record = state_.loggerSettings;
  record.tagMode = kTagModeContinuous;
  LoggerSettingValues values{};
  values.timeInterval = record.timeInterval;
  values.distanceInterval = record.distanceInterval;
  values.vibration = record.vibration;
  values.tagFunction = record.tagFunction;
  values.minimumSpeed = record.minimumSpeed;
  std::memset(values.userPointBlock, 0xFF, sizeof values.userPointBlock);
  values.idleTimer = record.idleTimer;
  values.tagMode = record.tagMode;
  values.timeZone = kTimeZoneSent;

  const CurrentDirectoryKeeper directory;
  if (!EnterDumpMode(state_, library_, ownerless_, dialog)) return;
  const std::uint8_t port = SettingsPort();
  int result = 0;
  dialog.RunBusy("Writing the logger settings",
                 [&] { result = library_.SettingDevice(port, values, kVoiceFilePath); });
  directory.Restore();
  LeaveDumpMode(library_, ownerless_, dialog);
  if (const char* message = SettingDeviceResultMessage(result)) ShowApiReturn(dialog, message);
}

}  // namespace quillon
