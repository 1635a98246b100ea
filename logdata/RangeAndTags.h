#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"

namespace quillon {

inline constexpr const char* kNoAnyTagItem = "No any tag";

// Writes the time of the first and of the last fix into the eight date fields
// (local time when check box 1010 is checked, UTC otherwise) and adds a tag
// box item at every change of tag value along the log, or the selected item
// "No any tag" when no fix carries a tag. False, touching nothing, when the
// Fix List is empty.
bool ShowRangeAndTags(AppState& state, WindowView& view);

// Check box 1010 changed: rewrites the eight date fields for its new state.
void OnUseLocalTime(AppState& state, WindowView& view);

}  // namespace quillon
