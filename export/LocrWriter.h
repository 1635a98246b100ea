#pragma once

#include <ostream>
#include <string>

#include "core/AppState.h"
#include "core/FixList.h"

namespace quillon {

// "<logStamp>_locr_<logSerial>.txt"
std::string LocrFileName(const AppState& state);

// The locr GPS file: the datum line (CR LF), then each fix's RMC sentence as
// stored, followed by LF.
void WriteLocr(std::ostream& out, const FixList& selection);

}  // namespace quillon
