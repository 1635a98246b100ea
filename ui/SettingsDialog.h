#pragma once

#include <memory>

#include "core/AppState.h"
#include "device/DeviceLibrary.h"
#include "settings/SettingsController.h"
#include "ui/ComboBinding.h"
#include "ui/ViewDialog.h"

namespace quillon::ui {

// "Logger Setting - Demo Software": shows the logger's settings and forwards
// every command to SettingsController. Opening it reads the settings; when
// the logger does not enter dump mode it closes before it is ever shown.
class SettingsDialog : public ViewDialog {
 public:
  SettingsDialog(wxWindow* parent, AppState& state, DeviceLibrary& library, MessageBoxes& ownerless);
  ~SettingsDialog() override;

 protected:
  bool OpenDialog() override;

 private:
  void BuildControls();
  void OnButton(wxCommandEvent& event);
  void OnRadio(wxCommandEvent& event);

  AppState& state_;
  SettingsController controller_;
  std::unique_ptr<ComboBinding> hiddenListBinding_;
};

}  // namespace quillon::ui
