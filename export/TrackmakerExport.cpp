#include "export/TrackmakerExport.h"

#include <string>

#include "core/ControlIds.h"
#include "export/AtomicOutputFile.h"
#include "export/OutputFolder.h"
#include "export/RangeSelection.h"
#include "export/TrackmakerWriter.h"

namespace quillon {

void WriteTrackmakerFile(AppState& state, WindowView& view) {
  const bool useLocalTime = view.IsChecked(ids::kUseLocalTime);
  if (!WriteFileAtomically(kTrackmakerFileName, [&](std::ostream& out) {
        WriteTrackmaker(out, state.selectionList, useLocalTime);
      })) {
    view.ShowMessage("Can not output Trackmaker file", "Info");
  }
}

void OnOutputTrackmaker(AppState& state, WindowView& view) {
  if (!PrepareSelection(state, view)) return;
  {
    OutputFolderScope folder(kTrackmakerFolder);
    WriteTrackmakerFile(state, view);
  }
  view.ShowMessage(std::string("Output to ' ") + kTrackmakerFileName + " ' file", "Info");
}

}  // namespace quillon
