#include "export/RangeSelection.h"

#include <array>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <limits>

#include "core/ControlIds.h"

namespace quillon {

namespace {

const std::string kNoRangeMessage = "Please choose 'log data range' ";
const std::string kNoDateMessage = "Please set search date";
const std::string kBadRangeMessage = "Please check search range";
const std::string kInfoCaption = "Info";
const std::string kDateCaption = "info";

constexpr std::array<int, 8> kDateBoxes = {ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour,
                                           ids::kToYear,   ids::kToMonth,   ids::kToDay,   ids::kToHour};

// Reads an optional minus sign and the digits after it, stopping at the first
// other character; a value beyond 64 bits sticks at the nearest bound.
std::int64_t ReadLeadingNumber(std::string_view text) {
  bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    int digit = c - '0';
    if (value > (kMax - digit) / 10) return negative ? std::numeric_limits<std::int64_t>::min() : kMax;
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

// The key of four values as they are printed: two-digit values join into
// YYMMDDHH directly; anything else goes through the text, as the rule says.
std::int64_t JoinedKey(std::int64_t yy, std::int64_t mm, std::int64_t dd, std::int64_t hh) {
  auto twoDigits = [](std::int64_t v) { return v >= 0 && v <= 99; };
  if (twoDigits(yy) && twoDigits(mm) && twoDigits(dd) && twoDigits(hh)) {
    return yy * 1000000 + mm * 10000 + dd * 100 + hh;
  }
  char text[96];
  std::snprintf(text, sizeof text, "%02" PRId64 "%02" PRId64 "%02" PRId64 "%02" PRId64, yy, mm, dd, hh);
  return ReadLeadingNumber(text);
}

std::int64_t FixKey(const FixRecord& r, bool useLocalTime) {
  if (useLocalTime) return JoinedKey(r.localYear, r.localMonth, r.localDay, r.localHour);
  return JoinedKey(r.utcYear, r.utcMonth, r.utcDay, r.utcHour);
}

// Copies the records that match, reserving room first so that a large log is
// never held twice while the Selection List grows. When every fix matches, an
// empty Selection List shares the Fix List's records instead of copying them.
template <typename Match>
void AppendMatching(AppState& state, Match match) {
  const FixList& fixList = state.fixList;
  std::size_t count = 0;
  for (const FixRecord& r : fixList.Records()) count += match(r) ? 1 : 0;
  if (count == fixList.Size() && state.selectionList.Empty()) {
    SelectEveryFix(state.selectionList, fixList);
    return;
  }
  state.selectionList.Reserve(state.selectionList.Size() + count);
  for (const FixRecord& r : fixList.Records()) {
    if (match(r)) AppendSelectedCopy(state.selectionList, fixList, r);
  }
}

bool SelectByDate(AppState& state, WindowView& view) {
  std::array<std::int32_t, 8> box{};
  for (std::size_t i = 0; i < kDateBoxes.size(); ++i) {
    std::optional<std::int32_t> value = ReadWholeNumber(view.GetItemText(kDateBoxes[i]));
    if (!value) {
      view.ShowMessage(kNoDateMessage, kDateCaption);
      return false;
    }
    box[i] = *value;
  }
  const auto [fromYear, fromMonth, fromDay, fromHour, toYear, toMonth, toDay, toHour] = box;
  if (fromMonth > 12 || fromDay > 31 || fromHour > 24 || toMonth > 12 || toDay > 31 || toHour > 24) {
    view.ShowMessage(kBadRangeMessage, kDateCaption);
    return false;
  }
  const bool useLocalTime = view.IsChecked(ids::kUseLocalTime);
  const std::int64_t fromKey = RangeKey(fromYear, fromMonth, fromDay, fromHour);
  const std::int64_t toKey = RangeKey(toYear, toMonth, toDay, toHour);
  AppendMatching(state, [&](const FixRecord& r) {
    std::int64_t key = FixKey(r, useLocalTime);
    return fromKey <= key && key <= toKey;
  });
  return true;
}

void SelectByTag(AppState& state, WindowView& view) {
  const std::int32_t tag = ReadWholeNumber(view.GetItemText(ids::kTagBox)).value_or(0);
  AppendMatching(state, [tag](const FixRecord& r) { return !r.untagged && r.tag == tag; });
}

}  // namespace

void OnRangeAll(AppState& state) { state.rangeMode = kRangeAllMode; }
void OnRangeByDate(AppState& state) { state.rangeMode = kRangeByDateMode; }
void OnRangeByTag(AppState& state) { state.rangeMode = kRangeByTagMode; }

std::optional<std::int32_t> ReadWholeNumber(std::string_view text) {
  auto isBlank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

std::int64_t RangeKey(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour) {
  return JoinedKey(year - 2000, month, day, hour);
}

bool SelectRange(AppState& state, WindowView& view, std::uint8_t mode) {
  if (state.fixList.Empty()) return false;
  switch (mode) {
    case kRangeAllMode:
      AppendMatching(state, [](const FixRecord&) { return true; });
      return true;
    case kRangeByDateMode:
      return SelectByDate(state, view);
    case kRangeByTagMode:
      SelectByTag(state, view);
      return true;
    default:
      return false;
  }
}

bool PrepareSelection(AppState& state, WindowView& view) {
  state.selectionList.Free();
  if (state.rangeMode == kRangeNotChosen) {
    view.ShowMessage(kNoRangeMessage, kInfoCaption);
    return false;
  }
  return SelectRange(state, view, state.rangeMode);
}

}  // namespace quillon
