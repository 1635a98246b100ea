#pragma once

#include <string_view>

#include "core/AppState.h"
#include "core/WindowView.h"

namespace quillon {

inline constexpr const char* kRawLogFolder = "Rawdata";

// Adopts a Raw Log File name (without folder) found in the Rawdata folder
// when its time stamp is newer than state.logStamp: updates logStamp,
// logSerial and logFileName. Returns true when the name was adopted.
bool ConsiderRawLogName(AppState& state, std::string_view fileName);

// Looks at every "*.txt" in the Rawdata folder of the working directory,
// points state.rawLogPath at the newest Raw Log File seen since start-up and
// shows it in control 1031. False, after telling the user, when the folder
// holds no such file.
bool SelectNewestRawLog(AppState& state, WindowView& view);

// The steps of a reload after the file is chosen: load state.rawLogPath,
// parse it, compute local times and fill the date fields and the tag box.
void LoadChosenRawLog(AppState& state, WindowView& view);

// The whole reload: empty the Fix List and the tag box, select the newest
// Raw Log File (a log opened by name gives way to the newest-file rule
// again), load and parse it, compute local times and fill the date
// fields and the tag box.
void ReloadLogData(AppState& state, WindowView& view);

}  // namespace quillon
