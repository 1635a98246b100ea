#include "export/TrackmakerExport.h"

#include <string>

#include "core/ControlIds.h"
#include "core/MessageTexts.h"
#include "export/ExportSelection.h"
#include "export/OutputFolder.h"
#include "export/TrackmakerWriter.h"
#include "platform/AtomicFileReplace.h"

namespace quillon {

void WriteTrackmakerFile(AppState& state, WindowView& view) {
  const bool useLocalTime = view.IsChecked(ids::kUseLocalTime);
  if (!WriteFileAtomically(kTrackmakerFileName, [&](std::ostream& out) {
        WriteTrackmaker(out, state.selectionList, useLocalTime);
      })) {
    view.ShowMessage(kCantOutputTrackmakerMessage, kInfoCaption);
  }
}

void OnOutputTrackmaker(AppState& state, WindowView& view) {
  if (!PrepareSelection(state, view)) return;
  {
    OutputFolderScope folder(kTrackmakerFolder);
    WriteTrackmakerFile(state, view);
  }
  view.ShowMessage(std::string(kOutputToPrefix) + kTrackmakerFileName + kOutputToTrackmakerSuffix, kInfoCaption);
}

}  // namespace quillon
