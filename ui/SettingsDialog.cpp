#include "ui/SettingsDialog.h"

#include "core/ControlIds.h"
#include "ui/LoggerIcon.h"

namespace quillon::ui {

SettingsDialog::SettingsDialog(wxWindow* parent, AppState& state, DeviceLibrary& library, MessageBoxes& ownerless)
    : ViewDialog(parent, "Logger Setting - Demo Software", 328, 297),
      state_(state),
      controller_(state, library, ownerless) {
  SetIcons(LoggerIcons());
  BuildControls();
  hiddenListBinding_ = std::make_unique<ComboBinding>(
      static_cast<wxComboBox*>(FindWindow(ids::kSettingsHiddenList)), state_.settingsHiddenList);

  Bind(wxEVT_BUTTON, &SettingsDialog::OnButton, this);
  Bind(wxEVT_RADIOBUTTON, &SettingsDialog::OnRadio, this);
  AddWindowMenu();
  CentreOnParent();
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::BuildControls() {
  // Frames first, beneath what they frame; they take no focus.
  AddGroupBox("Log Min. Speed Limlt", 17, 157, 287, 32);
  AddGroupBox("Log interval by timer or distance", 17, 15, 287, 56);
  AddGroupBox("Vibration Auto Function ON / OFF", 17, 77, 287, 34);
  AddGroupBox("Tag Function ON / OFF", 17, 117, 288, 35);
  AddGroupBox("Into Idle Timer", 17, 192, 287, 31);

  AddButton(ids::kEraseAllLogData, "Erase All Log Data", 17, 249, 287, 18);
  AddButton(ids::kSettingsExit, "Exit", 17, 271, 287, 19);
  AddButton(ids::kUpdateSettingValue, "Update Setting Value", 17, 225, 287, 21);
  AddRadio(ids::kByTime, "By Time", 40, 32, 39, 10, true);
  AddRadio(ids::kByDistance, "By Distance", 40, 52, 92, 10, false);
  AddRadio(ids::kVibrationDisable, "Disable ", 40, 91, 39, 10, true);
  AddRadio(ids::kVibrationEnable, "Enable", 157, 94, 43, 10, false);
  AddRadio(ids::kTagDisable, "Disable", 40, 135, 43, 10, true);
  AddRadio(ids::kTagEnable, "Enable", 157, 135, 43, 10, false);
  AddEdit(ids::kTimeIntervalEdit, 157, 31, 39, 12);
  AddEdit(ids::kMinimumSpeedEdit, 40, 172, 55, 12);
  AddLabel(wxID_ANY, "knot,Range : 0 ~ 20 knot", 110, 173, 107, 9);
  AddLabel(wxID_ANY, "Second", 207, 34, 34, 8);
  wxComboBox* hidden = AddDropDown(ids::kSettingsHiddenList, 264, 50, 30);
  hidden->Enable(false);
  hidden->Hide();
  AddLabel(wxID_ANY, "Meter", 207, 54, 30, 8);
  AddEdit(ids::kIdleTimerEdit, 40, 205, 55, 13);
  AddLabel(wxID_ANY, "Into Idle Timer ,Range:  2~15 minute", 112, 207, 120, 8);
  AddEdit(ids::kDistanceIntervalEdit, 157, 50, 40, 14);
}

bool SettingsDialog::OpenDialog() { return controller_.OnInitDialog(*this); }

void SettingsDialog::OnButton(wxCommandEvent& event) {
  switch (event.GetId()) {
    case ids::kUpdateSettingValue:
      controller_.OnUpdateSettingValue(*this);
      break;
    case ids::kEraseAllLogData:
      controller_.OnEraseAllLogData(*this);
      break;
    case ids::kSettingsExit:
      EndDialogCancel();
      break;
    default:
      event.Skip();
  }
}

void SettingsDialog::OnRadio(wxCommandEvent& event) { controller_.OnRadio(event.GetId()); }

}  // namespace quillon::ui
