#include "export/KmlExport.h"

#include "export/AtomicOutputFile.h"
#include "export/KmlWriter.h"
#include "export/OutputFolder.h"
#include "export/RangeSelection.h"
#include "export/ShellReport.h"

namespace quillon {

void OnOutputGoogleEarth(AppState& state, WindowView& view, Shell& shell) {
  if (!PrepareSelection(state, view)) return;
  OutputFolderScope folder(kKmlFolder);
  const std::string fileName = KmlFileName(state);
  if (!WriteFileAtomically(fileName, [&](std::ostream& out) { WriteKml(out, state.selectionList); })) {
    view.ShowMessage("Can not open save file", "Info");
    return;
  }
  ReportShellResult(view, shell.OpenWithShell(fileName),
                    DownloadMessage("Please Download Google Earth from ", kGoogleEarthDownloadPage));
}

}  // namespace quillon
