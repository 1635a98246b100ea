#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/FixRecord.h"

namespace quillon {

// The Fix List and the Selection List: records in file order, held in one
// contiguous block. The record before index i (its prev) is i - 1, the one
// after it (its next) is i + 1; the head is index 0, the tail size() - 1.
// A list shares ownership of the raw log text that its sentence spans point
// into, so a Selection List stays valid after the Fix List is reloaded.
class FixList {
 public:
  bool Empty() const { return records_.empty(); }
  std::size_t Size() const { return records_.size(); }
  const FixRecord& operator[](std::size_t i) const { return records_[i]; }
  FixRecord& operator[](std::size_t i) { return records_[i]; }
  const std::vector<FixRecord>& Records() const { return records_; }
  std::vector<FixRecord>& Records() { return records_; }

  const std::shared_ptr<const std::string>& Text() const { return text_; }
  void SetText(std::shared_ptr<const std::string> text) { text_ = std::move(text); }

  std::string_view Sentence(const TextSpan& span) const {
    if (!text_ || span.length == 0) return {};
    return std::string_view(*text_).substr(span.offset, span.length);
  }
  std::string_view GgaSentence(const FixRecord& r) const { return Sentence(r.ggaSentence); }
  std::string_view RmcSentence(const FixRecord& r) const { return Sentence(r.rmcSentence); }

  void Reserve(std::size_t n) { records_.reserve(n); }
  // AppendFix: the record becomes the new tail.
  void Append(const FixRecord& record) { records_.push_back(record); }
  // FreeFixList / FreeSelectionList: releases every record and the text.
  void Free() {
    std::vector<FixRecord>().swap(records_);
    text_.reset();
  }

 private:
  std::vector<FixRecord> records_;
  std::shared_ptr<const std::string> text_;
};

// AppendSelectedCopy: a copy of a Fix List record appended to the Selection
// List, which from then on shares the Fix List's raw text.
inline void AppendSelectedCopy(FixList& selection, const FixList& fixList, const FixRecord& record) {
  if (selection.Text() != fixList.Text()) selection.SetText(fixList.Text());
  selection.Append(record);
}

}  // namespace quillon
