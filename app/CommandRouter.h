#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "device/DeviceLibrary.h"
#include "geotag/TrackMatch.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "ui/MainWindowCommands.h"

namespace quillon {

// Owns what lives for the whole run (the process-wide state, the device
// library binding, the shell and the key store) and maps every command of the
// Main Window's event table to its handler.
class CommandRouter : public ui::MainWindowCommands {
 public:
  CommandRouter(MessageBoxes& ownerless, std::unique_ptr<Shell> shell, std::unique_ptr<KeyStore> keyStore);

  AppState& State() { return state_; }
  DeviceLibrary* Library() { return library_.get(); }
  MessageBoxes& Ownerless() { return ownerless_; }
  // How "Logger Setting" shows the Settings Dialog; the program sets it once
  // the Main Window exists, as the dialog belongs to it.
  void SetSettingsDialogRunner(std::function<void()> runSettingsDialog);
  // How "Track View..." shows its window over the fixes it chose, and how
  // "Open Raw Log..." asks for a file; both belong to the Main Window too.
  void SetTrackViewRunner(std::function<void(const FixList& fixes, bool useLocalTime)> runTrackView);
  void SetRawLogChooser(std::function<std::optional<std::string>()> chooseRawLog);
  // How "Geotag Photos..." shows its dialog over the track of the chosen
  // range; the command exists only once it is set, as only a build with a
  // photo metadata library has the dialog.
  void SetGeotagRunner(std::function<void(std::vector<TrackPoint> track, bool rawLogLoaded)> runGeotag);

  // Loads ORVEX_DLL.dll from the working directory.
  bool BindDeviceLibrary() override;
  void RunCommand(int commandId, WindowView& view) override;
  bool HasCommand(int commandId) const override;
  void OpenRawLogFile(const std::string& path, WindowView& view) override;

 private:
  using Handler = std::function<void(WindowView&)>;
  void AddHandlers();
  // A handler that talks to the logger; it runs only once the library is bound.
  void AddDeviceHandler(int commandId, std::function<void(DeviceLibrary&, WindowView&)> handler);

  MessageBoxes& ownerless_;
  AppState state_;
  std::unique_ptr<DeviceLibrary> library_;
  std::unique_ptr<Shell> shell_;
  std::unique_ptr<KeyStore> keyStore_;
  std::function<void()> runSettingsDialog_;
  std::function<void(const FixList&, bool)> runTrackView_;
  std::function<std::optional<std::string>()> chooseRawLog_;
  std::function<void(std::vector<TrackPoint>, bool)> runGeotag_;
  std::map<int, Handler> handlers_;
};

}  // namespace quillon
