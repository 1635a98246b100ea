#pragma once

#include "core/FixList.h"

namespace quillon {

// Fills the local-time fields of every record from its UTC fields, each with
// the PC's UTC offset in force at that fix's own instant (daylight saving
// included). A record whose UTC date and time is no real instant keeps its
// local-time fields as they are.
void ComputeLocalTimes(FixList& fixList);

// The same for the records from `begin` to `end`, in the time zone as last
// read (ReloadTimeZone); safe to call from several threads at once.
void FillLocalTimes(FixRecord* begin, FixRecord* end);

}  // namespace quillon
