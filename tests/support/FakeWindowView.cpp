#include "tests/support/FakeWindowView.h"

namespace quillon::testing {

namespace {

MessageAnswer NextAnswer(std::deque<MessageAnswer>& answers, MessageButtons buttons) {
  if (buttons == MessageButtons::kOk || answers.empty()) return MessageAnswer::kOk;
  MessageAnswer a = answers.front();
  answers.pop_front();
  return a;
}

}  // namespace

MessageAnswer FakeMessageBoxes::ShowMessage(const std::string& text, const std::string& caption,
                                            MessageButtons buttons) {
  messages.push_back({text, caption, buttons, owned_});
  return NextAnswer(answers, buttons);
}

MessageAnswer FakeWindowView::ShowMessage(const std::string& text, const std::string& caption,
                                          MessageButtons buttons) {
  messages.push_back({text, caption, buttons, true});
  return NextAnswer(answers, buttons);
}

std::string FakeWindowView::GetItemText(int id) const {
  auto it = texts.find(id);
  return it == texts.end() ? std::string() : it->second;
}

bool FakeWindowView::IsChecked(int id) const {
  auto it = checks.find(id);
  return it != checks.end() && it->second;
}

void FakeWindowView::EnableItem(int id, bool enable) {
  if (enable) {
    disabled.erase(id);
    enableOrder.push_back(id);
  } else {
    disabled.insert(id);
  }
}

void FakeWindowView::RunBusy(const std::string& what, const std::function<void()>& work) {
  busyRuns.push_back(what);
  work();
}

std::vector<std::string> FakeWindowView::MessageTexts() const {
  std::vector<std::string> out;
  for (const auto& m : messages) out.push_back(m.text);
  return out;
}

}  // namespace quillon::testing
