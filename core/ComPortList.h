#pragma once

#include "core/ComboModel.h"

namespace quillon {

inline constexpr int kComPortCount = 100;
inline constexpr int kInitialComPort = 2;

// Fills the COM port list with "", "COM01" ... "COM99" and selects COM02.
// The names are zero-padded, so in the sorted list item n is COM port n and
// the selection index is the port number handed to the device library.
void FillComPortList(ComboModel& comPortList);

}  // namespace quillon
