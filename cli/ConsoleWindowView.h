#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "core/WindowView.h"

namespace quillon {

// The window that quillon-convert shows to the shared export code: it holds
// the texts and check states given on the command line and prints every
// message on a stream (standard error), one line each, exactly as the window
// would show it.
class ConsoleWindowView : public WindowView {
 public:
  explicit ConsoleWindowView(std::ostream& messages) : messages_(messages) {}

  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;
  void SetItemText(int id, const std::string& text) override { texts_[id] = text; }
  std::string GetItemText(int id) const override;
  void SetChecked(int id, bool checked) override { checks_[id] = checked; }
  bool IsChecked(int id) const override;
  void EnableItem(int, bool) override {}
  bool IsItemEnabled(int) const override { return true; }
  void ShowItem(int, bool) override {}
  bool IsItemShown(int) const override { return true; }
  void EndDialogCancel() override {}
  void RunBusy(const std::string&, const std::function<void()>& work) override { work(); }

  int MessageCount() const { return messageCount_; }

 private:
  std::ostream& messages_;
  std::map<int, std::string> texts_;
  std::map<int, bool> checks_;
  int messageCount_ = 0;
};

}  // namespace quillon
