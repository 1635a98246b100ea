#include "export/LocrExport.h"

#include <string>

#include "export/AtomicOutputFile.h"
#include "export/LocrWriter.h"
#include "export/OutputFolder.h"
#include "export/RangeSelection.h"
#include "export/ShellReport.h"
#include "platform/WorkingDirectory.h"

namespace quillon {

namespace {

const std::string kApiCaption = "API-return";

std::string LocrDownloadMessage() { return DownloadMessage("Please download locr from ", kLocrDownloadPage); }

}  // namespace

void WriteLocrFile(AppState& state, WindowView& view) {
  if (!WriteFileAtomically(LocrFileName(state),
                           [&](std::ostream& out) { WriteLocr(out, state.selectionList); })) {
    view.ShowMessage("Can not output Locr file", "Info");
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
      view.ShowMessage(LocrDownloadMessage(), kApiCaption);
      return;
    }
    std::optional<std::string> value = key->QueryValue("ExecutionFile", kExecutionFileBufferSize);
    if (!value) {
      view.ShowMessage(LocrDownloadMessage(), kApiCaption);
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
  view.ShowMessage("Output to ' " + LocrFileName(state) + " ' file ", "Info");
  LaunchLocrClient(view, shell, keyStore);
}

}  // namespace quillon
