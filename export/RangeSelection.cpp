#include "export/RangeSelection.h"

#include <limits>

#include "logdata/NumberText.h"

namespace quillon {

namespace {

// YYMMDDHH as a number, for years before 2000 (negative YY) as well.
std::int64_t JoinedKey(std::int64_t yy, std::int64_t mm, std::int64_t dd, std::int64_t hh) {
  return ((yy * 100 + mm) * 100 + dd) * 100 + hh;
}

std::int64_t FixKey(const FixRecord& r, bool useLocalTime) {
  if (useLocalTime) return JoinedKey(r.localYear, r.localMonth, r.localDay, r.localHour);
  return JoinedKey(r.utcYear, r.utcMonth, r.utcDay, r.utcHour);
}

// Copies the records that match, reserving room first so that a large log is
// never held twice while the Selection List grows. When every fix matches, an
// empty Selection List shares the Fix List's records instead of copying them.
void AppendMatching(AppState& state, const RangeFilter& filter) {
  auto match = [&filter](const FixRecord& r) { return filter.Matches(r); };
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

}  // namespace

void OnRangeAll(AppState& state) { state.rangeMode = kRangeAllMode; }
void OnRangeByDate(AppState& state) { state.rangeMode = kRangeByDateMode; }
void OnRangeByTag(AppState& state) { state.rangeMode = kRangeByTagMode; }

std::optional<std::int32_t> ReadWholeNumber(std::string_view text) {
  const std::optional<std::int64_t> value = WholeNumber(text, number_text::kWhiteSpace);
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  if (!value || *value < kMin || *value > kMax) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::int64_t RangeKey(std::int64_t year, std::int64_t month, std::int64_t day, std::int64_t hour) {
  return JoinedKey(year - 2000, month, day, hour);
}

bool RangeFilter::Matches(const FixRecord& r) const {
  switch (mode_) {
    case kRangeByDateMode: {
      const std::int64_t key = FixKey(r, useLocalTime_);
      return fromKey_ <= key && key <= toKey_;
    }
    case kRangeByTagMode:
      return !r.untagged && r.tag == tag_;
    default:
      return true;
  }
}

RangeOutcome MakeRangeFilter(const RangeRequest& request, RangeFilter& filter) {
  filter = RangeFilter();
  filter.mode_ = request.mode;
  switch (request.mode) {
    case kRangeAllMode:
      return RangeOutcome::kSelected;
    case kRangeByDateMode:
      break;
    case kRangeByTagMode:
      filter.tag_ = ReadWholeNumber(request.tagText).value_or(0);
      return RangeOutcome::kSelected;
    default:
      return RangeOutcome::kNoRangeChosen;
  }
  std::array<std::int32_t, 8> box{};
  for (std::size_t i = 0; i < box.size(); ++i) {
    std::optional<std::int32_t> value = ReadWholeNumber(request.dateTexts[i]);
    if (!value) return RangeOutcome::kNoDate;
    box[i] = *value;
  }
  const auto [fromYear, fromMonth, fromDay, fromHour, toYear, toMonth, toDay, toHour] = box;
  if (fromMonth > 12 || fromDay > 31 || fromHour > 24 || toMonth > 12 || toDay > 31 || toHour > 24) {
    return RangeOutcome::kBadRange;
  }
  filter.useLocalTime_ = request.useLocalTime;
  filter.fromKey_ = RangeKey(fromYear, fromMonth, fromDay, fromHour);
  filter.toKey_ = RangeKey(toYear, toMonth, toDay, toHour);
  return RangeOutcome::kSelected;
}

RangeOutcome SelectRange(AppState& state, const RangeRequest& request) {
  if (state.fixList.Empty()) return RangeOutcome::kNoFixes;
  RangeFilter filter;
  const RangeOutcome outcome = MakeRangeFilter(request, filter);
  if (outcome == RangeOutcome::kSelected) AppendMatching(state, filter);
  return outcome;
}

RangeOutcome PrepareSelection(AppState& state, const RangeRequest& request) {
  state.selectionList.Free();
  if (request.mode == kRangeNotChosen) return RangeOutcome::kNoRangeChosen;
  return SelectRange(state, request);
}

}  // namespace quillon
