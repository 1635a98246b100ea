#pragma once

#include <memory>

#include "core/AppState.h"
#include "ui/ComboBinding.h"
#include "ui/MainWindowCommands.h"
#include "ui/ViewDialog.h"

namespace quillon::ui {

// "GPS Data Logger - Demo Software": the program's only top-level window.
// Its controls carry the ids the behaviour code speaks of; every command goes
// to MainWindowCommands, except EXIT, which closes the window.
class MainWindow : public ViewDialog {
 public:
  MainWindow(AppState& state, MainWindowCommands& commands);
  ~MainWindow() override;

 protected:
  // Fills the COM port list, binds the device library (closing at once when
  // that fails) and loads the newest raw log.
  bool OpenDialog() override;

 private:
  void BuildControls();
  void OnCommand(wxCommandEvent& event);
  // The commands beyond the template: menu items after About, their
  // keyboard shortcuts, and raw logs dropped on the window.
  void AddExtraCommands();
  std::vector<WindowMenuItem> ExtraItems();

  AppState& state_;
  MainWindowCommands& commands_;
  std::unique_ptr<ComboBinding> comPortBinding_;
  std::unique_ptr<ComboBinding> tagBoxBinding_;
};

}  // namespace quillon::ui
