#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/WindowView.h"

namespace quillon::testing {

struct ShownMessage {
  std::string text;
  std::string caption;
  MessageButtons buttons;
  bool owned;  // shown by a window view rather than ownerless
  bool operator==(const ShownMessage&) const = default;
};

// Records every message box; answers OkCancel boxes from a queue (OK when the
// queue is empty).
class FakeMessageBoxes : public MessageBoxes {
 public:
  explicit FakeMessageBoxes(bool owned = false) : owned_(owned) {}
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;

  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;

 private:
  bool owned_;
};

// An in-memory dialog: item texts, check states, enabled and shown flags keyed
// by control id. Items are enabled and shown unless a test says otherwise.
class FakeWindowView : public WindowView {
 public:
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons buttons) override;
  void SetItemText(int id, const std::string& text) override { texts[id] = text; }
  std::string GetItemText(int id) const override;
  void SetChecked(int id, bool checked) override { checks[id] = checked; }
  bool IsChecked(int id) const override;
  void EnableItem(int id, bool enable) override;
  bool IsItemEnabled(int id) const override { return !disabled.count(id); }
  void EndDialogCancel() override { ++cancelCount; }
  void RunBusy(const std::string& what, const std::function<void()>& work) override;

  std::vector<std::string> MessageTexts() const;

  std::map<int, std::string> texts;
  std::map<int, bool> checks;
  std::set<int> disabled;
  std::vector<int> enableOrder;  // ids passed to EnableItem(id, true), in order
  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;
  std::vector<std::string> busyRuns;
  int cancelCount = 0;
};

}  // namespace quillon::testing
