#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"
#include "platform/Shell.h"

namespace quillon {

inline constexpr char kGoogleEarthHomePage[] = "http://earth.google.com/";

// Writes the CSV table of the Selection List into the working directory under
// its name; false (after the open-failure message) when it could not be
// written.
bool WriteCsvFile(AppState& state, WindowView& view);

// "Build Output File": select, write into "Output File", open with the shell.
void OnBuildOutputFile(AppState& state, WindowView& view, Shell& shell);

}  // namespace quillon
