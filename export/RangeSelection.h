#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/AppState.h"
#include "core/WindowView.h"

namespace quillon {

// Click handlers of the three range radio buttons: they only choose the mode;
// the selection is made when an export runs.
void OnRangeAll(AppState& state);
void OnRangeByDate(AppState& state);
void OnRangeByTag(AppState& state);

// The number typed into a box: blanks around it, an optional sign, then only
// digits, within the 32-bit range. Nothing when the box holds no such number.
std::optional<std::int32_t> ReadWholeNumber(std::string_view text);

// The range key of a year (four digits), month, day and hour: the four values
// printed "%02d%02d%02d%02d" (year less 2000) and read back as a signed
// number, up to the first character that is not a digit. For 2000 to 2099 it
// is YY*1000000 + MM*10000 + DD*100 + HH. Keys of years far outside that
// range are compared by their full value rather than wrapped.
std::int64_t RangeKey(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour);

// Appends copies of the Fix Records that the mode selects to the (empty)
// Selection List, in Fix List order. False when the Fix List is empty or the
// date boxes were refused (with a message).
bool SelectRange(AppState& state, WindowView& view, std::uint8_t mode);

// The first steps of every export: frees the previous Selection List, refuses
// when no range was chosen, selects. True means the export goes on to write.
bool PrepareSelection(AppState& state, WindowView& view);

}  // namespace quillon
