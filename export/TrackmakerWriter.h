#pragma once

#include <ostream>

#include "core/FixList.h"

namespace quillon {

inline constexpr char kTrackmakerFileName[] = "Trackmaker.txt";
inline constexpr char kDatumLine[] = "Datum,WGS84,WGS84,0,0,0,0,0";

// The GPS TrackMaker text: the datum line (CR LF), then one trackpoint line
// (LF) per fix, the first flagged 1, the others 0.
void WriteTrackmaker(std::ostream& out, const FixList& selection, bool useLocalTime);

}  // namespace quillon
