#pragma once

#include <wx/combobox.h>

#include "core/ComboModel.h"

namespace quillon::ui {

// Keeps a drop-down combo box showing a ComboModel: every change of the model
// is mirrored into the control, and what the user picks or types goes back
// into the model. The model outlives the control; the binding lets go of it
// when it is destroyed.
class ComboBinding {
 public:
  ComboBinding(wxComboBox* control, ComboModel& model);
  ~ComboBinding();
  ComboBinding(const ComboBinding&) = delete;
  ComboBinding& operator=(const ComboBinding&) = delete;

  void SyncFromModel();

 private:
  void OnSelect(wxCommandEvent& event);
  void OnText(wxCommandEvent& event);

  wxComboBox* control_;
  ComboModel& model_;
  bool syncing_ = false;
};

}  // namespace quillon::ui
