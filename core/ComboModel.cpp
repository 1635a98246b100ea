#include "core/ComboModel.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace quillon {

namespace {

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

const std::string kEmpty;

}  // namespace

int ComboModel::AddString(const std::string& text) {
  auto pos = std::upper_bound(items_.begin(), items_.end(), text,
                              [](const std::string& t, const Item& item) { return LessNoCase(t, item.text); });
  int index = static_cast<int>(pos - items_.begin());
  items_.insert(pos, Item{text, 0});
  if (selection_ != kNone && selection_ >= index) ++selection_;
  Changed();
  return index;
}

void ComboModel::AddItems(std::vector<Item> items) {
  if (items.empty()) return;
  auto less = [](const Item& a, const Item& b) { return LessNoCase(a.text, b.text); };
  std::stable_sort(items.begin(), items.end(), less);
  if (selection_ != kNone) {
    const Item& selected = items_[selection_];
    selection_ += static_cast<int>(std::lower_bound(items.begin(), items.end(), selected, less) - items.begin());
  }
  std::vector<Item> merged;
  merged.reserve(items_.size() + items.size());
  // std::merge takes equal items from the first range first: existing items
  // stay ahead of equal new ones, as with one-by-one adding.
  std::merge(std::make_move_iterator(items_.begin()), std::make_move_iterator(items_.end()),
             std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()),
             std::back_inserter(merged), less);
  items_ = std::move(merged);
  Changed();
}

bool ComboModel::DeleteString(int index) {
  if (index < 0 || index >= GetCount()) return false;
  items_.erase(items_.begin() + index);
  if (selection_ == index) {
    selection_ = kNone;
  } else if (selection_ > index) {
    --selection_;
  }
  Changed();
  return true;
}

void ComboModel::Clear() {
  items_.clear();
  selection_ = kNone;
  editText_.clear();
  Changed();
}

const std::string& ComboModel::GetItemText(int index) const {
  if (index < 0 || index >= GetCount()) return kEmpty;
  return items_[index].text;
}

bool ComboModel::SetItemData(int index, std::intptr_t data) {
  if (index < 0 || index >= GetCount()) return false;
  items_[index].data = data;
  Changed();
  return true;
}

std::intptr_t ComboModel::GetItemData(int index) const {
  if (index < 0 || index >= GetCount()) return -1;
  return items_[index].data;
}

bool ComboModel::SetCurSel(int index) {
  bool valid = index >= 0 && index < GetCount();
  selection_ = valid ? index : kNone;
  editText_ = valid ? items_[index].text : std::string();
  Changed();
  return valid;
}

void ComboModel::SetEditText(const std::string& text) {
  editText_ = text;
  selection_ = kNone;
  Changed();
}

void ComboModel::Changed() {
  if (listener_) listener_();
}

}  // namespace quillon
