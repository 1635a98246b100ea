#pragma once

#include "core/AppState.h"
#include "core/MessageBoxes.h"

namespace quillon {

inline constexpr const char* kCantOpenRawLogMessage = "Can't open Rawdata.txt";
inline constexpr const char* kMemoryNotEnoughMessage = "Memory not enough ";
inline constexpr const char* kInfoCaption = "Info";

// Reads the file named by state.rawLogPath (relative to the working
// directory) into state.rawLogText in one piece. When the file cannot be
// opened the previous text stays; when it cannot be held the previous text is
// gone as well. Failures are shown on `boxes`.
void LoadRawLog(AppState& state, MessageBoxes& boxes);

// Rebuilds state.fixList from state.rawLogText: one record per GGA line
// completed by the RMC line after it, numbered on from state.fixCounter.
// Does nothing when no text was ever loaded.
void ParseRawLog(AppState& state);

}  // namespace quillon
