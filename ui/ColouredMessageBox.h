#pragma once

#include <functional>
#include <optional>
#include <string>

#include <wx/window.h>

#include "core/MessageBoxes.h"

namespace quillon::ui {

// The program's message box: text, caption, OK or OK and Cancel, no icon, in
// the shared dialog colours (the native box of the toolkit cannot take them).
// Modal on top of its owner, or ownerless when owner is null.
MessageAnswer ShowColouredMessageBox(wxWindow* owner, const std::string& text, const std::string& caption,
                                     MessageButtons buttons);

// A message box as a hook sees it, before it would be shown.
struct MessageBoxRequest {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  bool owned;
};

// Lets tests (and the message log of the running program) answer message
// boxes without showing them. A hook that returns no answer lets the box show.
using MessageBoxHook = std::function<std::optional<MessageAnswer>(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Message boxes of a window view: owned by that window.
class OwnedMessageBoxes : public MessageBoxes {
 public:
  explicit OwnedMessageBoxes(wxWindow* owner) : owner_(owner) {}
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;

 private:
  wxWindow* owner_;
};

// Message boxes shown where no window exists to own them.
class OwnerlessMessageBoxes : public MessageBoxes {
 public:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;
};

}  // namespace quillon::ui
