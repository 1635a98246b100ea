#include "ui/ViewDialog.h"

#include <wx/menu.h>
#include <wx/textentry.h>
#include <wx/valtext.h>

#include "core/ControlIds.h"
#include "ui/AboutBox.h"
#include "ui/BusyRunner.h"
#include "ui/ColouredMessageBox.h"
#include "ui/DialogLook.h"
#include "ui/UiThread.h"
#include "ui/WindowMenu.h"

namespace quillon::ui {

ViewDialog::ViewDialog(wxWindow* parent, const wxString& title, int widthDlu, int heightDlu)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  // The font comes first: dialog units are measured in it.
  ApplyDialogLook(this);
  SetClientSize(Dlu(0, 0, widthDlu, heightDlu).GetSize());

  // Escape and the close box are the cancel command; Enter outside a push
  // button is the ok command. Both end the dialog.
  Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
    int key = event.GetKeyCode();
    if (key == WXK_ESCAPE) {
      EndDialogCancel();
    } else if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && dynamic_cast<HoverButton*>(FindFocus()) == nullptr) {
      if (IsModal()) EndModal(wxID_OK);
    } else {
      event.Skip();
    }
  });
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { EndDialogCancel(); });
}

void ViewDialog::AddWindowMenu(std::vector<WindowMenuItem> more) {
  std::vector<WindowMenuItem> items{{ids::kAboutCommand, wxString::FromUTF8("關於 Quillon(&A)..."), {}, false}};
  for (WindowMenuItem& item : more) items.push_back(std::move(item));
  InstallWindowMenu(*this, std::move(items));
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { AboutBox(this).ShowModal(); }, ids::kAboutCommand);
}

int ViewDialog::ShowModal() {
  cancelRequested_ = false;
  if (!OpenDialog() || cancelRequested_) return wxID_CANCEL;
  return wxDialog::ShowModal();
}

wxWindow* ViewDialog::Item(int id) const {
  for (wxWindow* child : GetChildren()) {
    if (child->GetId() == id) return child;
  }
  return nullptr;
}

MessageAnswer ViewDialog::ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) {
  return ShowColouredMessageBox(this, text, caption, buttons);
}

void ViewDialog::SetItemText(int id, const std::string& text) {
  RunOnUiThread([&] {
    wxWindow* item = Item(id);
    if (item == nullptr) return;
    wxString value = wxString::FromUTF8(text);
    if (auto* combo = dynamic_cast<wxComboBox*>(item)) {
      combo->SetValue(value);  // its binding hands the text to the model
    } else if (auto* entry = dynamic_cast<wxTextEntry*>(item)) {
      entry->ChangeValue(value);
    } else {
      item->SetLabel(value);
      item->Refresh();
    }
  });
}

std::string ViewDialog::GetItemText(int id) const {
  std::string text;
  RunOnUiThread([&] {
    wxWindow* item = Item(id);
    if (item == nullptr) return;
    if (auto* entry = dynamic_cast<wxTextEntry*>(item)) {
      text = entry->GetValue().utf8_string();
    } else {
      text = item->GetLabel().utf8_string();
    }
  });
  return text;
}

void ViewDialog::SetChecked(int id, bool checked) {
  RunOnUiThread([&] {
    wxWindow* item = Item(id);
    if (auto* check = dynamic_cast<wxCheckBox*>(item)) {
      check->SetValue(checked);
    } else if (auto* radio = dynamic_cast<wxRadioButton*>(item)) {
      if (checked) {
        radio->SetValue(true);
      } else if (radio->GetValue()) {
        auto placeholder = radioPlaceholder_.find(id);
        if (placeholder != radioPlaceholder_.end()) placeholder->second->SetValue(true);
      }
    }
  });
}

bool ViewDialog::IsChecked(int id) const {
  bool checked = false;
  RunOnUiThread([&] {
    wxWindow* item = Item(id);
    if (auto* check = dynamic_cast<wxCheckBox*>(item)) {
      checked = check->GetValue();
    } else if (auto* radio = dynamic_cast<wxRadioButton*>(item)) {
      checked = radio->GetValue();
    }
  });
  return checked;
}

void ViewDialog::EnableItem(int id, bool enable) {
  RunOnUiThread([&] {
    if (wxWindow* item = Item(id)) item->Enable(enable);
  });
}

bool ViewDialog::IsItemEnabled(int id) const {
  bool enabled = false;
  // The control's own state: while a modal child runs, the whole dialog is
  // disabled, which is not what callers ask about.
  RunOnUiThread([&] {
    if (wxWindow* item = Item(id)) enabled = item->IsThisEnabled();
  });
  return enabled;
}

bool ViewDialog::IsItemShown(int id) const {
  bool shown = false;
  RunOnUiThread([&] {
    if (wxWindow* item = Item(id)) shown = item->IsShown();
  });
  return shown;
}

void ViewDialog::EndDialogCancel() {
  RunOnUiThread([&] {
    cancelRequested_ = true;
    if (IsModal()) EndModal(wxID_CANCEL);
  });
}

void ViewDialog::RunBusy(const std::string& what, const std::function<void()>& work) {
  RunBusyWithProgress(this, what, work);
}

void ViewDialog::RunBusyReporting(const std::string& what, const std::function<void()>& work,
                                  const std::function<std::string()>& report) {
  RunBusyWithProgress(this, what, work, report);
}

wxRect ViewDialog::Dlu(int x, int y, int width, int height) {
  wxPoint pos = ConvertDialogToPixels(wxPoint(x, y));
  wxSize size = ConvertDialogToPixels(wxSize(width, height));
  double stretch = HorizontalStretch();
  int left = static_cast<int>(pos.x * stretch + 0.5);
  int right = static_cast<int>((pos.x + size.x) * stretch + 0.5);
  return wxRect(left, pos.y, right - left, size.y);
}

namespace {

// A caption the template's width cannot hold gets the width it needs rather
// than being wrapped or cut; the template leaves room to the right of each.
void WidenToCaption(wxWindow* control) {
  int needed = control->GetBestSize().x;
  wxSize size = control->GetSize();
  if (needed > size.x) control->SetSize(wxSize(needed, size.y));
}

}  // namespace

HoverButton* ViewDialog::AddButton(int id, const char* caption, int x, int y, int width, int height) {
  wxRect r = Dlu(x, y, width, height);
  return new HoverButton(this, id, wxString::FromUTF8(caption), r.GetPosition(), r.GetSize());
}

wxStaticText* ViewDialog::AddLabel(int id, const char* caption, int x, int y, int width, int height, long style) {
  wxRect r = Dlu(x, y, width, height);
  auto* label = new wxStaticText(this, id, wxString::FromUTF8(caption), r.GetPosition(), r.GetSize(), style);
  ApplyTextColours(label);
  WidenToCaption(label);
  return label;
}

wxStaticBox* ViewDialog::AddGroupBox(const char* caption, int x, int y, int width, int height) {
  wxRect r = Dlu(x, y, width, height);
  auto* box = new wxStaticBox(this, wxID_ANY, wxString::FromUTF8(caption), r.GetPosition(), r.GetSize());
  box->SetForegroundColour(DialogText());
  return box;
}

wxCheckBox* ViewDialog::AddCheckBox(int id, const char* caption, int x, int y, int width, int height) {
  wxRect r = Dlu(x, y, width, height);
  auto* check = new wxCheckBox(this, id, wxString::FromUTF8(caption), r.GetPosition(), r.GetSize());
  ApplyTextColours(check);
  WidenToCaption(check);
  return check;
}

wxRadioButton* ViewDialog::AddRadio(int id, const char* caption, int x, int y, int width, int height,
                                    bool startsGroup) {
  wxRect r = Dlu(x, y, width, height);
  if (startsGroup) {
    currentPlaceholder_ = new wxRadioButton(this, wxID_ANY, wxString(), r.GetPosition(), wxDefaultSize, wxRB_GROUP);
    currentPlaceholder_->SetValue(true);
    currentPlaceholder_->Hide();
  }
  auto* radio = new wxRadioButton(this, id, wxString::FromUTF8(caption), r.GetPosition(), r.GetSize());
  radio->SetValue(false);
  ApplyTextColours(radio);
  WidenToCaption(radio);
  if (currentPlaceholder_ != nullptr) radioPlaceholder_[id] = currentPlaceholder_;
  return radio;
}

wxTextCtrl* ViewDialog::AddEdit(int id, int x, int y, int width, int height, long style) {
  wxRect r = Dlu(x, y, width, height);
  return new wxTextCtrl(this, id, wxString(), r.GetPosition(), r.GetSize(), style,
                        wxTextValidator(wxFILTER_DIGITS));
}

wxComboBox* ViewDialog::AddDropDown(int id, int x, int y, int width) {
  wxRect r = Dlu(x, y, width, 0);
  return new wxComboBox(this, id, wxString(), r.GetPosition(), wxSize(r.width, -1), wxArrayString(), wxCB_DROPDOWN);
}

}  // namespace quillon::ui
