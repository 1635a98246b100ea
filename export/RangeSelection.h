#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/AppState.h"

namespace quillon {

// Click handlers of the three range radio buttons: they only choose the mode;
// the selection is made when an export runs.
void OnRangeAll(AppState& state);
void OnRangeByDate(AppState& state);
void OnRangeByTag(AppState& state);

// What a selection is asked for, as the window's controls hold it.
struct RangeRequest {
  std::uint8_t mode = kRangeNotChosen;
  // The eight date boxes, from start year to end hour, as typed.
  std::array<std::string, 8> dateTexts;
  std::string tagText;
  bool useLocalTime = false;
};

enum class RangeOutcome {
  kSelected,
  kNoFixes,        // the Fix List is empty: nothing to select, nothing said
  kNoRangeChosen,  // no range radio button was ever clicked
  kNoDate,         // a date box holds no whole number
  kBadRange,       // a month, day or hour beyond what a date can hold
};

// The number typed into a box: blanks around it, an optional sign, then only
// digits, within the 32-bit range. Nothing when the box holds no such number.
std::optional<std::int32_t> ReadWholeNumber(std::string_view text);

// The range key of a year (four digits), month, day and hour:
// (((year - 2000) * 100 + month) * 100 + day) * 100 + hour. For 2000 to 2099
// it is the number YYMMDDHH; a year before 2000 gives a negative key that
// still orders before them (a key read from the printed text would not).
std::int64_t RangeKey(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour);

// Which fixes a request selects, once its boxes have been read.
class RangeFilter {
 public:
  bool Matches(const FixRecord& r) const;

 private:
  friend RangeOutcome MakeRangeFilter(const RangeRequest& request, RangeFilter& filter);
  std::uint8_t mode_ = kRangeAllMode;
  bool useLocalTime_ = false;
  std::int64_t fromKey_ = 0;
  std::int64_t toKey_ = 0;
  std::int32_t tag_ = 0;
};

// The filter of a request: kSelected and `filter` set, or the refusal
// (kNoRangeChosen for no or an unknown mode, kNoDate, kBadRange).
RangeOutcome MakeRangeFilter(const RangeRequest& request, RangeFilter& filter);

// Appends copies of the Fix Records that request.mode selects to the (empty)
// Selection List, in Fix List order. An unknown mode counts as none chosen.
RangeOutcome SelectRange(AppState& state, const RangeRequest& request);

// The first steps of every export: frees the previous Selection List, refuses
// when no range was chosen, selects. kSelected means the export goes on.
RangeOutcome PrepareSelection(AppState& state, const RangeRequest& request);

}  // namespace quillon
