#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"
#include "core/FixList.h"

namespace quillon {

// The fixes the Track View shows: those of the chosen range, selected into
// the Selection List the way an export selects them (every export makes its
// own selection again, so none is disturbed), or the whole Fix List when no
// range is chosen. Null when the chosen range was refused (with a message).
const FixList* TrackViewFixes(AppState& state, WindowView& view);

}  // namespace quillon
