#pragma once

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "core/WindowView.h"
#include "export/RangeSelection.h"

namespace quillon {

// The range the window's controls ask for: the chosen mode, the eight date
// boxes, the tag box and the "Use Local Time" check box.
RangeRequest ReadRangeRequest(const AppState& state, const WindowView& view);

// The window's message box for a refused selection: "Please choose 'log data
// range' " (caption "Info"), "Please set search date" or "Please check search
// range" (caption "info"). A selection made, or an empty Fix List, says
// nothing.
void ShowRangeRefusal(MessageBoxes& boxes, RangeOutcome outcome);

// The first steps of every export as the window runs them: the selection of
// the range its controls hold, a refusal told in a message box. True means
// the export goes on to write.
bool PrepareSelection(AppState& state, WindowView& view);

}  // namespace quillon
