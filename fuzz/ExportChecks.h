#pragma once

#include "core/AppState.h"

namespace quillon::fuzz {

// Selects from the parsed Fix List of `state` by every range mode (all, the
// dates of its first and last fix, the tag of its middle fix) and writes each
// selection with every writer, trapping when a selection or a document breaks
// what its reader relies on: the range holds the fixes that span it, a tag
// selects exactly its fixes, KML and GPX are well-formed XML, every CSV row
// has the header's fields and no cell a spreadsheet would run, TrackMaker and
// locr have one line per selected fix.
void CheckExports(AppState& state);

}  // namespace quillon::fuzz
