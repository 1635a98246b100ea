#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"
#include "platform/Shell.h"

namespace quillon {

inline constexpr char kGoogleEarthDownloadPage[] = "http://earth.google.com/download-earth.html";

// "Output for Google Earth": select, write the KML document into
// "GoogleEarth", open it with the shell and report the shell's result.
void OnOutputGoogleEarth(AppState& state, WindowView& view, Shell& shell);

}  // namespace quillon
