#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"
#include "platform/KeyStore.h"
#include "platform/PathConventions.h"
#include "platform/Shell.h"

namespace quillon {

inline constexpr char kLocrClientKey[] = "Software\\locr\\LocrClient";
inline constexpr char kLocrDownloadPage[] = "http://www.locr.com/";
inline constexpr std::size_t kExecutionFileBufferSize = 256;

// The folder that the locr client is pointed at, after the working directory.
// Where file names ignore case, "Locr" names the export's "locr" folder;
// elsewhere the export folder's own spelling is the only one that names it.
inline constexpr const char* kLocrClientFolder = kFileNamesIgnoreCase ? "Locr" : "locr";

// Writes the locr file into the working directory; shows the failure message
// when it cannot be written.
void WriteLocrFile(AppState& state, WindowView& view);

// Points the locr client's settings at the export folder and starts the
// client named by its ExecutionFile value. Runs in the folder the export
// started from.
void LaunchLocrClient(WindowView& view, Shell& shell, KeyStore& keyStore);

// "Output for locr": select, write into "locr", report, hand over to the
// client.
void OnOutputLocr(AppState& state, WindowView& view, Shell& shell, KeyStore& keyStore);

}  // namespace quillon
