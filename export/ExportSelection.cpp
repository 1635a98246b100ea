#include "export/ExportSelection.h"

#include <array>

#include "core/ControlIds.h"
#include "core/MessageTexts.h"

namespace quillon {

namespace {

constexpr std::array<int, 8> kDateBoxes = {ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour,
                                           ids::kToYear,   ids::kToMonth,   ids::kToDay,   ids::kToHour};

}  // namespace

RangeRequest ReadRangeRequest(const AppState& state, const WindowView& view) {
  RangeRequest request;
  request.mode = state.rangeMode;
  for (std::size_t i = 0; i < kDateBoxes.size(); ++i) request.dateTexts[i] = view.GetItemText(kDateBoxes[i]);
  request.tagText = view.GetItemText(ids::kTagBox);
  request.useLocalTime = view.IsChecked(ids::kUseLocalTime);
  return request;
}

void ShowRangeRefusal(MessageBoxes& boxes, RangeOutcome outcome) {
  switch (outcome) {
    case RangeOutcome::kNoRangeChosen:
      boxes.ShowMessage(kNoRangeMessage, kInfoCaption);
      break;
    case RangeOutcome::kNoDate:
      boxes.ShowMessage(kNoDateMessage, kLowerInfoCaption);
      break;
    case RangeOutcome::kBadRange:
      boxes.ShowMessage(kBadRangeMessage, kLowerInfoCaption);
      break;
    case RangeOutcome::kSelected:
    case RangeOutcome::kNoFixes:
      break;
  }
}

bool PrepareSelection(AppState& state, WindowView& view) {
  const RangeOutcome outcome = PrepareSelection(state, ReadRangeRequest(state, view));
  ShowRangeRefusal(view, outcome);
  return outcome == RangeOutcome::kSelected;
}

}  // namespace quillon
