#pragma once

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/stattext.h>

#include "core/AppState.h"
#include "core/FixList.h"
#include "trackview/PhotoMarkers.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackSummary.h"
#include "ui/TrackViewCanvas.h"

namespace quillon::ui {

// "Track View - Demo Software": a resizable window over a selection of fixes:
// the picture (with the photos of the last geotagging), the summary line,
// the hovered fix or photo and "Save Picture...".
// It keeps its own model, so the lists may change once it is open.
class TrackViewWindow : public wxDialog {
 public:
  // `pictureName` is the file name the save dialog offers.
  TrackViewWindow(wxWindow* parent, const FixList& fixes, bool useLocalTime, std::string pictureName,
                  const std::vector<GeotaggedPhoto>& photos = {});

  TrackViewCanvas& Canvas() { return *canvas_; }
  std::string SummaryText() const { return summary_->GetLabel().utf8_string(); }
  std::string HoverText() const { return hover_->GetLabel().utf8_string(); }
  // Writes the picture as PNG; a failure is shown in a message box.
  bool SavePicture(const std::string& path);

 private:
  void OnSavePicture();

  TrackModel model_;
  std::vector<PhotoMarker> photos_;
  TrackSummary summaryData_;
  std::string pictureName_;
  TrackViewCanvas* canvas_ = nullptr;
  wxStaticText* summary_ = nullptr;
  wxStaticText* hover_ = nullptr;
};

}  // namespace quillon::ui
