#pragma once

#include <memory>
#include <string>

#include "core/AppState.h"
#include "core/MessageBoxes.h"
#include "platform/FileBytes.h"

namespace quillon {

enum class LoadOutcome { kLoaded, kCannotOpen, kMemoryNotEnough };

// Reads the file named by state.rawLogPath (relative to the working
// directory) into state.rawLogText in one piece. Only a regular file is read.
// When the file cannot be opened the previous text stays; when it cannot be
// held the previous text is gone as well.
LoadOutcome LoadRawLog(AppState& state);

// Opens the raw log at `path` to be read in pieces (the converter's CSV) or
// whole (LoadRawLogFrom), with the outcomes of LoadRawLog for the same file.
LoadOutcome OpenRawLogForPieces(const std::string& path, std::unique_ptr<PositionalFile>& file);

// Reads the whole of an opened raw log into state.rawLogText, with the
// outcomes of LoadRawLog.
LoadOutcome LoadRawLogFrom(AppState& state, const PositionalFile& file);

// The window's message box for a load that failed: "Can't open Rawdata.txt"
// (caption "Info") or "Memory not enough " (no caption). Nothing for a load
// that succeeded.
void ShowLoadOutcome(MessageBoxes& boxes, LoadOutcome outcome);

// Rebuilds state.fixList from state.rawLogText: one record per GGA line
// completed by the RMC line after it, numbered on from state.fixCounter.
// Does nothing when no text was ever loaded.
void ParseRawLog(AppState& state);

}  // namespace quillon
