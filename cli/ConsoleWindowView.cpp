#include "cli/ConsoleWindowView.h"

namespace quillon {

MessageAnswer ConsoleWindowView::ShowMessage(const std::string& text, const std::string&, MessageButtons) {
  ++messageCount_;
  messages_ << text << '\n';
  messages_.flush();
  return MessageAnswer::kOk;
}

std::string ConsoleWindowView::GetItemText(int id) const {
  auto it = texts_.find(id);
  return it == texts_.end() ? std::string() : it->second;
}

bool ConsoleWindowView::IsChecked(int id) const {
  auto it = checks_.find(id);
  return it != checks_.end() && it->second;
}

}  // namespace quillon
