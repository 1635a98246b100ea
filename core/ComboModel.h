#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quillon {

// The content of a sorted drop-down combo box: items kept in case-insensitive
// text order (a new item goes after the items that compare equal to it), each
// with its item data, an optional selection and the text of the edit field.
// It outlives the windows that show it; a window that binds it installs a
// listener and mirrors every change.
class ComboModel {
 public:
  static constexpr int kNone = -1;

  struct Item {
    std::string text;
    std::intptr_t data = 0;
  };

  // Adds an item at its sorted place; returns its index.
  int AddString(const std::string& text);
  // Adds many items at once, with the same result as adding them one by one
  // in this order, in O(n log n) and with one notification.
  void AddItems(std::vector<Item> items);
  // Removes the item at index; false when there is none. Removing the selected
  // item leaves no selection and keeps the edit text.
  bool DeleteString(int index);
  void Clear();

  int GetCount() const { return static_cast<int>(items_.size()); }
  const std::string& GetItemText(int index) const;
  bool SetItemData(int index, std::intptr_t data);
  std::intptr_t GetItemData(int index) const;

  // Selects the item at index and copies its text into the edit field; an
  // index outside the list removes the selection and clears the edit field.
  // Returns false in that case.
  bool SetCurSel(int index);
  int GetCurSel() const { return selection_; }

  const std::string& GetEditText() const { return editText_; }
  // The user typed into the edit field: the selection goes.
  void SetEditText(const std::string& text);

  const std::vector<Item>& Items() const { return items_; }

  void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

 private:
  void Changed();

  std::vector<Item> items_;
  int selection_ = kNone;
  std::string editText_;
  std::function<void()> listener_;
};

}  // namespace quillon
