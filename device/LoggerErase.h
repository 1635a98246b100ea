#pragma once

#include "core/AppState.h"
#include "core/WindowView.h"
#include "device/DeviceLibrary.h"

namespace quillon {

// Erases the logger's whole memory: dump mode on the selected port, the erase
// on the port of the last automatic scan, then dump mode left again. Entering
// and leaving dump mode report on `ownerless`; a missing erase entry point and
// the erase's result report on `messages`. The device calls run through
// busyHost. Both the Settings Dialog's "Erase All Log Data" and the offer after
// a download run this.
void EraseAllLogData(AppState& state, DeviceLibrary& library, MessageBoxes& messages, MessageBoxes& ownerless,
                     WindowView& busyHost);

}  // namespace quillon
