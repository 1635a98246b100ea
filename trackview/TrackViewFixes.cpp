#include "trackview/TrackViewFixes.h"

#include "export/ExportSelection.h"
#include "export/RangeSelection.h"

namespace quillon {

const FixList* TrackViewFixes(AppState& state, WindowView& view) {
  if (state.rangeMode == kRangeNotChosen || state.fixList.Empty()) return &state.fixList;
  state.selectionList.Free();
  const RangeOutcome outcome = SelectRange(state, ReadRangeRequest(state, view));
  if (outcome != RangeOutcome::kSelected) {
    ShowRangeRefusal(view, outcome);
    return nullptr;
  }
  return &state.selectionList;
}

}  // namespace quillon
