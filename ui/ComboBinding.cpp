#include "ui/ComboBinding.h"

namespace quillon::ui {

namespace {

bool SameItems(const wxComboBox* control, const ComboModel& model) {
  if (static_cast<int>(control->GetCount()) != model.GetCount()) return false;
  for (int i = 0; i < model.GetCount(); ++i) {
    if (control->GetString(i).utf8_string() != model.GetItemText(i)) return false;
  }
  return true;
}

}  // namespace

ComboBinding::ComboBinding(wxComboBox* control, ComboModel& model) : control_(control), model_(model) {
  control_->Bind(wxEVT_COMBOBOX, &ComboBinding::OnSelect, this);
  control_->Bind(wxEVT_TEXT, &ComboBinding::OnText, this);
  model_.SetListener([this] { SyncFromModel(); });
  SyncFromModel();
}

ComboBinding::~ComboBinding() {
  model_.SetListener(nullptr);
  control_->Unbind(wxEVT_COMBOBOX, &ComboBinding::OnSelect, this);
  control_->Unbind(wxEVT_TEXT, &ComboBinding::OnText, this);
}

void ComboBinding::SyncFromModel() {
  if (syncing_) return;
  syncing_ = true;
  if (!SameItems(control_, model_)) {
    wxArrayString items;
    for (const ComboModel::Item& item : model_.Items()) items.Add(wxString::FromUTF8(item.text));
    control_->Set(items);
  }
  int selection = model_.GetCurSel();
  if (control_->GetSelection() != selection) control_->SetSelection(selection);
  wxString text = wxString::FromUTF8(model_.GetEditText());
  if (control_->GetValue() != text) control_->ChangeValue(text);
  syncing_ = false;
}

void ComboBinding::OnSelect(wxCommandEvent& event) {
  event.Skip();
  if (syncing_) return;
  syncing_ = true;
  model_.SetCurSel(control_->GetSelection());
  syncing_ = false;
}

void ComboBinding::OnText(wxCommandEvent& event) {
  event.Skip();
  if (syncing_) return;
  std::string text = control_->GetValue().utf8_string();
  // Picking an item changes the text too; that is the selection, not typing.
  int selection = model_.GetCurSel();
  if (selection != ComboModel::kNone && model_.GetItemText(selection) == text) return;
  syncing_ = true;
  model_.SetEditText(text);
  syncing_ = false;
}

}  // namespace quillon::ui
