#include "trackview/TrackViewFixes.h"

#include "export/RangeSelection.h"

namespace quillon {

const FixList* TrackViewFixes(AppState& state, WindowView& view) {
  if (state.rangeMode == kRangeNotChosen || state.fixList.Empty()) return &state.fixList;
  state.selectionList.Free();
  if (!SelectRange(state, view, state.rangeMode)) return nullptr;
  return &state.selectionList;
}

}  // namespace quillon
