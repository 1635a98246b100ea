#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include "core/FixRecord.h"
#include "core/RecordBlock.h"

namespace quillon {

// The raw log text that lists share: a view of its bytes, kept alive by
// whatever holds them (a string of its own, a mapping of the file).
using SharedText = std::shared_ptr<const std::string_view>;

// A shared text holding its own copy of `text`.
inline SharedText MakeSharedText(std::string text) {
  struct Holder {
    std::string text;
    std::string_view view;
  };
  auto holder = std::make_shared<Holder>();
  holder->text = std::move(text);
  holder->view = holder->text;
  return SharedText(holder, &holder->view);
}

// The Fix List and the Selection List: records in file order, held in one
// contiguous block. The record before index i (its prev) is i - 1, the one
// after it (its next) is i + 1; the head is index 0, the tail size() - 1.
// A list shares ownership of the raw log text that its sentence spans point
// into, so a Selection List stays valid after the Fix List is reloaded.
//
// Lists that hold the same records share one block (a full logger memory
// holds some 40 MB of them) until one of them changes: every non-const
// accessor first gives its list a block of its own. So a reference got from
// a non-const accessor is only good until the list is next shared.
class FixList {
 public:
  bool Empty() const { return Size() == 0; }
  std::size_t Size() const { return records_ ? records_->size() : 0; }
  const FixRecord& operator[](std::size_t i) const { return (*records_)[i]; }
  FixRecord& operator[](std::size_t i) { return Own()[i]; }
  const RecordBlock& Records() const { return records_ ? *records_ : kNoRecords; }
  RecordBlock& Records() { return Own(); }

  const SharedText& Text() const { return text_; }
  void SetText(SharedText text) { text_ = std::move(text); }

  std::string_view Sentence(const TextSpan& span) const {
    if (!text_ || span.length == 0) return {};
    return text_->substr(span.offset, span.length);
  }
  std::string_view GgaSentence(const FixRecord& r) const { return Sentence(r.ggaSentence); }
  std::string_view RmcSentence(const FixRecord& r) const { return Sentence(r.rmcSentence); }

  void Reserve(std::size_t n) { Own().reserve(n); }
  // AppendFix: the record becomes the new tail.
  void Append(const FixRecord& record) { Own().push_back(record); }
  // FreeFixList / FreeSelectionList: releases every record and the text.
  void Free() {
    records_.reset();
    text_.reset();
  }

 private:
  inline static const RecordBlock kNoRecords;

  RecordBlock& Own() {
    if (!records_) {
      records_ = std::make_shared<RecordBlock>();
    } else if (records_.use_count() > 1) {
      records_ = std::make_shared<RecordBlock>(*records_);
    }
    return *records_;
  }

  std::shared_ptr<RecordBlock> records_;
  SharedText text_;
};

// AppendSelectedCopy: a copy of a Fix List record appended to the Selection
// List, which from then on shares the Fix List's raw text.
inline void AppendSelectedCopy(FixList& selection, const FixList& fixList, const FixRecord& record) {
  if (selection.Text() != fixList.Text()) selection.SetText(fixList.Text());
  selection.Append(record);
}

// The Selection List of every fix: an empty Selection List becomes a copy of
// the whole Fix List, records and text, without copying a record.
inline void SelectEveryFix(FixList& selection, const FixList& fixList) { selection = fixList; }

}  // namespace quillon
