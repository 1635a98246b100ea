#include "ui/ColouredMessageBox.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "ui/DialogLook.h"
#include "ui/UiThread.h"

namespace quillon::ui {

namespace {

MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}

class MessageDialog : public wxDialog {
 public:
  MessageDialog(wxWindow* owner, const std::string& text, const std::string& caption, MessageButtons buttons)
      : wxDialog(owner, wxID_ANY, wxString::FromUTF8(caption), wxDefaultPosition, wxDefaultSize,
                 wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    ApplyDialogLook(this);
    auto* label = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(text));
    ApplyTextColours(label);

    auto* buttonRow = new wxBoxSizer(wxHORIZONTAL);
    auto* ok = new wxButton(this, wxID_OK, "OK");
    buttonRow->Add(ok, 0, wxALL, 4);
    if (buttons == MessageButtons::kOkCancel) {
      buttonRow->Add(new wxButton(this, wxID_CANCEL, "Cancel"), 0, wxALL, 4);
      SetEscapeId(wxID_CANCEL);
    } else {
      // A box with only OK answers OK to Escape and the close box too.
      SetEscapeId(wxID_OK);
    }
    ok->SetDefault();
    ok->SetFocus();

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(label, 0, wxLEFT | wxRIGHT | wxTOP, 22);
    column->AddSpacer(16);
    column->Add(buttonRow, 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, 8);
    column->SetMinSize(FromDIP(wxSize(180, -1)));
    SetSizerAndFit(column);
    CentreOnParent();
  }
};

MessageAnswer ShowOnUiThread(wxWindow* owner, const std::string& text, const std::string& caption,
                             MessageButtons buttons) {
  if (Hook()) {
    std::optional<MessageAnswer> answer = Hook()({text, caption, buttons, owner != nullptr});
    if (answer) return *answer;
  }
  MessageDialog dialog(owner, text, caption, buttons);
  return dialog.ShowModal() == wxID_CANCEL && buttons == MessageButtons::kOkCancel ? MessageAnswer::kCancel
                                                                                    : MessageAnswer::kOk;
}

}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

MessageAnswer ShowColouredMessageBox(wxWindow* owner, const std::string& text, const std::string& caption,
                                     MessageButtons buttons) {
  MessageAnswer answer = MessageAnswer::kOk;
  RunOnUiThread([&] { answer = ShowOnUiThread(owner, text, caption, buttons); });
  return answer;
}

MessageAnswer OwnedMessageBoxes::ShowMessage(const std::string& text, const std::string& caption,
                                             MessageButtons buttons) {
  return ShowColouredMessageBox(owner_, text, caption, buttons);
}

MessageAnswer OwnerlessMessageBoxes::ShowMessage(const std::string& text, const std::string& caption,
                                                 MessageButtons buttons) {
  return ShowColouredMessageBox(nullptr, text, caption, buttons);
}

}  // namespace quillon::ui
