#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "core/WindowView.h"
#include "ui/HoverButton.h"
#include "ui/WindowMenu.h"

namespace quillon::ui {

// A dialog of the program as its behaviour code sees it: a WindowView keyed
// by control id, its message boxes owned by it, its long device calls run
// behind a progress window. Subclasses build their controls in template order
// with the Add helpers, which place them in dialog units of the dialog font
// and give them the shared colours.
class ViewDialog : public wxDialog, public WindowView {
 public:
  ViewDialog(wxWindow* parent, const wxString& title, int widthDlu, int heightDlu);

  MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                            MessageButtons buttons = MessageButtons::kOk) override;
  void SetItemText(int id, const std::string& text) override;
  std::string GetItemText(int id) const override;
  void SetChecked(int id, bool checked) override;
  bool IsChecked(int id) const override;
  void EnableItem(int id, bool enable) override;
  bool IsItemEnabled(int id) const override;
  void EndDialogCancel() override;
  void RunBusy(const std::string& what, const std::function<void()>& work) override;
  void RunBusyReporting(const std::string& what, const std::function<void()>& work,
                        const std::function<std::string()>& report) override;
  // Whether the control is shown; the tests check the hidden controls with it.
  bool IsItemShown(int id) const;

  // Runs the opening sequence (OpenDialog) and, unless it cancelled the
  // dialog, the modal loop; like the platform's dialogs, a dialog that
  // cancels while opening is never shown.
  int ShowModal() override;

 protected:
  // The opening sequence, before the dialog shows; false cancels it.
  virtual bool OpenDialog() { return true; }
  bool CancelRequested() const { return cancelRequested_; }
  // The window's menu (see InstallWindowMenu): the About item (command 16),
  // which opens the About Box, then a window's own items.
  void AddWindowMenu(std::vector<WindowMenuItem> more = {});

  wxRect Dlu(int x, int y, int width, int height);
  HoverButton* AddButton(int id, const char* caption, int x, int y, int width, int height);
  wxStaticText* AddLabel(int id, const char* caption, int x, int y, int width, int height,
                         long style = wxST_NO_AUTORESIZE);
  wxStaticBox* AddGroupBox(const char* caption, int x, int y, int width, int height);
  wxCheckBox* AddCheckBox(int id, const char* caption, int x, int y, int width, int height);
  // A radio button that starts a group gets an unseen first member, so that
  // the group can show no choice at all, as it does when the dialog opens.
  wxRadioButton* AddRadio(int id, const char* caption, int x, int y, int width, int height, bool startsGroup);
  wxTextCtrl* AddEdit(int id, int x, int y, int width, int height, long style = 0);
  wxComboBox* AddDropDown(int id, int x, int y, int width);

 private:
  wxWindow* Item(int id) const;

  std::map<int, wxRadioButton*> radioPlaceholder_;
  wxRadioButton* currentPlaceholder_ = nullptr;
  bool cancelRequested_ = false;
};

}  // namespace quillon::ui
