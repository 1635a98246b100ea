#include "app/CommandRouter.h"

#include "core/ControlIds.h"
#include "device/ConnectionHandlers.h"
#include "device/LibraryBinding.h"
#include "device/LogDownload.h"
#include "export/CsvExport.h"
#include "export/GpxExport.h"
#include "export/KmlExport.h"
#include "export/LocrExport.h"
#include "export/RangeSelection.h"
#include "export/TrackmakerExport.h"
#include "logdata/OpenRawLog.h"
#include "logdata/RangeAndTags.h"
#include "logdata/RawLogSelection.h"
#include "platform/WorkingDirectory.h"
#include "trackview/TrackViewFixes.h"

namespace quillon {

CommandRouter::CommandRouter(MessageBoxes& ownerless, std::unique_ptr<Shell> shell,
                             std::unique_ptr<KeyStore> keyStore)
    : ownerless_(ownerless), shell_(std::move(shell)), keyStore_(std::move(keyStore)) {
  AddHandlers();
}

void CommandRouter::SetSettingsDialogRunner(std::function<void()> runSettingsDialog) {
  runSettingsDialog_ = std::move(runSettingsDialog);
}

void CommandRouter::SetTrackViewRunner(std::function<void(const FixList&, bool)> runTrackView) {
  runTrackView_ = std::move(runTrackView);
}

void CommandRouter::SetRawLogChooser(std::function<std::optional<std::string>()> chooseRawLog) {
  chooseRawLog_ = std::move(chooseRawLog);
}

void CommandRouter::SetGeotagRunner(std::function<void(std::vector<TrackPoint>, bool)> runGeotag) {
  runGeotag_ = std::move(runGeotag);
  handlers_[ids::kGeotagPhotos] = [this](WindowView& view) {
    // The fixes of the chosen range as the Track View takes them; a refused
    // range has said why already.
    const FixList* fixes = TrackViewFixes(state_, view);
    if (fixes == nullptr) return;
    runGeotag_(TrackPointsOf(*fixes), state_.rawLogText != nullptr);
  };
}

bool CommandRouter::HasCommand(int commandId) const { return handlers_.count(commandId) != 0; }

void CommandRouter::OpenRawLogFile(const std::string& path, WindowView& view) {
  quillon::OpenRawLogFile(state_, view, path);
}

bool CommandRouter::BindDeviceLibrary() {
  library_ = quillon::BindDeviceLibrary(GetWorkingDirectory(), ownerless_);
  return library_ != nullptr;
}

void CommandRouter::RunCommand(int commandId, WindowView& view) {
  auto handler = handlers_.find(commandId);
  if (handler != handlers_.end()) handler->second(view);
}

void CommandRouter::AddDeviceHandler(int commandId, std::function<void(DeviceLibrary&, WindowView&)> handler) {
  handlers_[commandId] = [this, handler = std::move(handler)](WindowView& view) {
    if (library_) handler(*library_, view);
  };
}

void CommandRouter::AddHandlers() {
  AddDeviceHandler(ids::kAutoOpenComPort,
                   [this](DeviceLibrary& library, WindowView& view) { OnAutoOpenComPort(state_, library, view); });
  AddDeviceHandler(ids::kManualOpenComPort,
                   [this](DeviceLibrary& library, WindowView& view) { OnManualOpenComPort(state_, library, view); });
  AddDeviceHandler(ids::kReadGpsUtcTime,
                   [this](DeviceLibrary& library, WindowView& view) { OnReadGpsUtcTime(state_, library, view); });
  AddDeviceHandler(ids::kReadMemoryUsedStatus, [this](DeviceLibrary& library, WindowView& view) {
    OnReadMemoryUsedStatus(state_, library, view);
  });
  AddDeviceHandler(ids::kReadDeviceInformation,
                   [this](DeviceLibrary& library, WindowView& view) { ReadDeviceInformation(state_, library, view); });
  AddDeviceHandler(ids::kDumpLoggerData, [this](DeviceLibrary& library, WindowView& view) {
    OnDownloadLog(state_, library, view, ownerless_);
  });
  handlers_[ids::kLoggerSetting] = [this](WindowView& view) {
    OnLoggerSetting(state_, view, [this] {
      if (runSettingsDialog_) runSettingsDialog_();
    });
  };

  handlers_[ids::kReloadLogData] = [this](WindowView& view) { ReloadLogData(state_, view); };
  handlers_[ids::kUseLocalTime] = [this](WindowView& view) { OnUseLocalTime(state_, view); };

  handlers_[ids::kRangeAll] = [this](WindowView&) { OnRangeAll(state_); };
  handlers_[ids::kRangeByDate] = [this](WindowView&) { OnRangeByDate(state_); };
  handlers_[ids::kRangeByTag] = [this](WindowView&) { OnRangeByTag(state_); };
  handlers_[ids::kBuildOutputFile] = [this](WindowView& view) { OnBuildOutputFile(state_, view, *shell_); };
  handlers_[ids::kOutputGoogleEarth] = [this](WindowView& view) { OnOutputGoogleEarth(state_, view, *shell_); };
  handlers_[ids::kOutputTrackmaker] = [this](WindowView& view) { OnOutputTrackmaker(state_, view); };
  handlers_[ids::kOutputLocr] = [this](WindowView& view) { OnOutputLocr(state_, view, *shell_, *keyStore_); };

  handlers_[ids::kBuildGpxFile] = [this](WindowView& view) { OnBuildGpxFile(state_, view, *shell_); };
  handlers_[ids::kTrackView] = [this](WindowView& view) {
    const FixList* fixes = TrackViewFixes(state_, view);
    if (fixes != nullptr && runTrackView_) runTrackView_(*fixes, view.IsChecked(ids::kUseLocalTime));
  };
  handlers_[ids::kOpenRawLog] = [this](WindowView& view) {
    if (!chooseRawLog_) return;
    if (std::optional<std::string> path = chooseRawLog_()) OpenRawLogFile(*path, view);
  };
}

}  // namespace quillon
