#include "export/GpxExport.h"

#include <string>

#include "core/MessageTexts.h"
#include "export/ExportSelection.h"
#include "export/OutputFolder.h"
#include "platform/AtomicFileReplace.h"

namespace quillon {

GpxCounts WriteGpxOfSelection(std::ostream& out, const AppState& state) {
  return WriteGpx(out, state.selectionList, state.logStamp);
}

std::string GpxLeftOutText(std::size_t leftOut) {
  return std::to_string(leftOut) + (leftOut == 1 ? " fix" : " fixes") + " without a usable position left out";
}

void OnBuildGpxFile(AppState& state, WindowView& view, Shell& shell) {
  if (!PrepareSelection(state, view)) return;
  OutputFolderScope folder(kGpxFolder);
  const std::string fileName = GpxFileName(state);
  GpxCounts counts;
  if (!WriteFileAtomically(fileName, [&](std::ostream& out) { counts = WriteGpxOfSelection(out, state); })) {
    view.ShowMessage(kCantOpenGpxMessage, kInfoCaption);
    return;
  }
  // No program is known to be missing for a GPX file (any map program may
  // take it), so the shell's result has no download to suggest; the report
  // says where the file is either way.
  shell.OpenWithShell(fileName);
  std::string report = kOutputToPrefix + fileName + kOutputToSuffix;
  if (counts.leftOut > 0) report += "\n" + GpxLeftOutText(counts.leftOut);
  view.ShowMessage(report, kInfoCaption);
}

}  // namespace quillon
