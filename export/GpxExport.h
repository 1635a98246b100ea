#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "core/AppState.h"
#include "core/WindowView.h"
#include "export/GpxWriter.h"
#include "platform/Shell.h"

namespace quillon {

// The GPX document of the Selection List, its track named after the raw log's
// stamp: the bytes both "Build GPX File" and quillon-convert write.
GpxCounts WriteGpxOfSelection(std::ostream& out, const AppState& state);

// "3 fixes without a usable position left out": what the window and the
// converter say after a document that had to leave fixes out.
std::string GpxLeftOutText(std::size_t leftOut);

// "Build GPX File": select, write the GPX document into "GPX", open it with
// the shell and say where it went (and how many fixes had no position to
// write). GPX times are UTC, so the local-time check box only changes how a
// date range is read.
void OnBuildGpxFile(AppState& state, WindowView& view, Shell& shell);

}  // namespace quillon
