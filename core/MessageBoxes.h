#pragma once

#include <string>

namespace quillon {

enum class MessageButtons { kOk, kOkCancel };
enum class MessageAnswer { kOk, kCancel };

// A modal message box with no icon. Implementations decide the owner window:
// the window views own theirs, an ownerless implementation has none.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                    MessageButtons buttons = MessageButtons::kOk) = 0;
};

}  // namespace quillon
