#include "export/KmlExport.h"

#include "core/MessageTexts.h"
#include "export/ExportSelection.h"
#include "export/KmlWriter.h"
#include "export/OutputFolder.h"
#include "export/ShellReport.h"
#include "platform/AtomicFileReplace.h"

namespace quillon {

void OnOutputGoogleEarth(AppState& state, WindowView& view, Shell& shell) {
  if (!PrepareSelection(state, view)) return;
  OutputFolderScope folder(kKmlFolder);
  const std::string fileName = KmlFileName(state);
  if (!WriteFileAtomically(fileName, [&](std::ostream& out) { WriteKml(out, state.selectionList); })) {
    view.ShowMessage(kCantOpenKmlMessage, kInfoCaption);
    return;
  }
  ReportShellResult(view, shell.OpenWithShell(fileName),
                    DownloadMessage(kGoogleEarthDownloadPrefix, kGoogleEarthDownloadPage));
}

}  // namespace quillon
