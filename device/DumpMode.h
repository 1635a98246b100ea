#pragma once

#include <cstdint>
#include <string>

#include "core/AppState.h"
#include "core/MessageTexts.h"
#include "core/WindowView.h"
#include "device/DeviceLibrary.h"

namespace quillon {

// Every device result is reported with the caption "API-return".
void ShowApiReturn(MessageBoxes& owner, const std::string& text);

// True when the library provides entry; otherwise shows "ORVEX_DLL.dll not
// find" on owner and returns false, so the caller ends its operation.
bool RequireEntryPoint(const DeviceLibrary& library, EntryPoint entry, MessageBoxes& owner);

// The port the Main Window's device calls pass: the selection index of
// comPortList (item n is COM port n), as a byte, so no selection gives 255.
std::uint8_t SelectedPort(const AppState& state);

// Puts the logger into dump mode on the selected port. Messages go to owner;
// the library call runs through busyHost so that its window keeps painting.
// False when the logger is not in dump mode afterwards (a message has been
// shown where there is one for the result).
bool EnterDumpMode(AppState& state, DeviceLibrary& library, MessageBoxes& owner, WindowView& busyHost);

// Takes the logger out of dump mode; its result is of no interest.
void LeaveDumpMode(DeviceLibrary& library, MessageBoxes& owner, WindowView& busyHost);

}  // namespace quillon
