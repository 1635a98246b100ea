#include "export/CsvExport.h"

#include "core/ControlIds.h"
#include "export/AtomicOutputFile.h"
#include "export/CsvWriter.h"
#include "export/OutputFolder.h"
#include "export/RangeSelection.h"
#include "export/ShellReport.h"

namespace quillon {

bool WriteCsvFile(AppState& state, WindowView& view) {
  const bool useLocalTime = view.IsChecked(ids::kUseLocalTime);
  const bool written = WriteFileAtomically(
      CsvFileName(state), [&](std::ostream& out) { WriteCsv(out, state.selectionList, useLocalTime); });
  if (!written) view.ShowMessage("Can't open Output File,Please close file！！", "Info");
  return written;
}

void OnBuildOutputFile(AppState& state, WindowView& view, Shell& shell) {
  if (!PrepareSelection(state, view)) return;
  OutputFolderScope folder(kCsvFolder);
  if (!WriteCsvFile(state, view)) return;
  const std::string fileName = CsvFileName(state);
  if (shell.OpenWithShell(fileName) == kShellOutOfResources) {
    view.ShowMessage(DownloadMessage("Please Download Google Earth from ", kGoogleEarthHomePage), "API-return");
  }
  view.ShowMessage("Output to ' " + fileName + " ' file ", "Info");
}

}  // namespace quillon
