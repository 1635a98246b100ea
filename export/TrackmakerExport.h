#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"

namespace quillon {

// Writes Trackmaker.txt into the working directory; shows the failure
// message when it cannot be written.
void WriteTrackmakerFile(AppState& state, WindowView& view);

// "Output for Trackmaker": select, write into "TrackMaker", report.
void OnOutputTrackmaker(AppState& state, WindowView& view);

}  // namespace quillon
