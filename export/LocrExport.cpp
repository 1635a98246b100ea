#include "export/LocrExport.h"

#include <string>

#include "core/MessageTexts.h"
#include "export/ExportSelection.h"
#include "export/LocrWriter.h"
#include "export/OutputFolder.h"
#include "export/ShellReport.h"
#include "platform/AtomicFileReplace.h"
#include "platform/WorkingDirectory.h"

namespace quillon {

namespace {

std::string LocrDownloadMessage() { return DownloadMessage(kLocrDownloadPrefix, kLocrDownloadPage); }

}  // namespace

void WriteLocrFile(AppState& state, WindowView& view) {
  if (!WriteFileAtomically(LocrFileName(state),
                           [&](std::ostream& out) { WriteLocr(out, state.selectionList); })) {
    view.ShowMessage(kCantOutputLocrMessage, kInfoCaption);
  }
}

void LaunchLocrClient(WindowView& view, Shell& shell, KeyStore& keyStore) {
  const std::string folder = GetWorkingDirectory() + kPathSeparator + kLocrClientFolder;
  std::string program;
  {
    std::unique_ptr<KeyStoreKey> key = keyStore.CreateKey(kLocrClientKey);
    if (key) {
      key->SetString("DirectoryGpsFile", folder);
      key->SetString("DirectoryPhotos", folder);
    }
    if (!key || !key->SetDword("LoadFilesAtStartup", 1)) {
      view.ShowMessage(LocrDownloadMessage(), kApiReturnCaption);
      return;
    }
    std::optional<std::string> value = key->QueryValue("ExecutionFile", kExecutionFileBufferSize);
    if (!value) {
      view.ShowMessage(LocrDownloadMessage(), kApiReturnCaption);
      return;
    }
    // The value is used as text whatever its type: up to its first NUL.
    program = value->substr(0, value->find('\0'));
  }
  ReportShellResult(view, shell.OpenWithShell(program), LocrDownloadMessage());
}

void OnOutputLocr(AppState& state, WindowView& view, Shell& shell, KeyStore& keyStore) {
  if (!PrepareSelection(state, view)) return;
  {
    OutputFolderScope folder(kLocrFolder);
    WriteLocrFile(state, view);
  }
  view.ShowMessage(kOutputToPrefix + LocrFileName(state) + kOutputToSuffix, kInfoCaption);
  LaunchLocrClient(view, shell, keyStore);
}

}  // namespace quillon
