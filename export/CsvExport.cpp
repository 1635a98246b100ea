#include "export/CsvExport.h"

#include "core/ControlIds.h"
#include "core/MessageTexts.h"
#include "export/CsvWriter.h"
#include "export/ExportSelection.h"
#include "export/OutputFolder.h"
#include "export/ShellReport.h"
#include "platform/AtomicFileReplace.h"

namespace quillon {

bool WriteCsvFile(AppState& state, WindowView& view) {
  const bool useLocalTime = view.IsChecked(ids::kUseLocalTime);
  const bool written = WriteFileAtomically(
      CsvFileName(state), [&](std::ostream& out) { WriteCsv(out, state.selectionList, useLocalTime); });
  if (!written) view.ShowMessage(kCantOpenCsvMessage, kInfoCaption);
  return written;
}

void OnBuildOutputFile(AppState& state, WindowView& view, Shell& shell) {
  if (!PrepareSelection(state, view)) return;
  OutputFolderScope folder(kCsvFolder);
  if (!WriteCsvFile(state, view)) return;
  const std::string fileName = CsvFileName(state);
  if (shell.OpenWithShell(fileName) == kShellOutOfResources) {
    view.ShowMessage(DownloadMessage(kGoogleEarthDownloadPrefix, kGoogleEarthHomePage), kApiReturnCaption);
  }
  view.ShowMessage(kOutputToPrefix + fileName + kOutputToSuffix, kInfoCaption);
}

}  // namespace quillon
