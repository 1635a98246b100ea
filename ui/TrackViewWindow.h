#pragma once

#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/stattext.h>

#include "core/AppState.h"
#include "core/FixList.h"
#include "trackview/PhotoMarkers.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackSummary.h"
#include "ui/TrackViewCanvas.h"
#ifdef QUILLON_MAPS
#include "maps/MapChooser.h"
#include "ui/TrackViewMap.h"
#endif

namespace quillon::ui {

// "Track View - Demo Software": a resizable window over a selection of fixes:
// the picture (with the photos of the last geotagging), the summary line,
// the hovered fix or photo, the map drop-down (where maps are built) and
// "Save Picture...". It keeps its own model, so the lists may change once it
// is open: the plain field shows it latitude-corrected, a map in the tiles'
// Web Mercator projection.
class TrackViewWindow : public wxDialog {
 public:
  // `pictureName` is the file name the save dialog offers.
  TrackViewWindow(wxWindow* parent, const FixList& fixes, bool useLocalTime, std::string pictureName,
                  const std::vector<GeotaggedPhoto>& photos = {});
  ~TrackViewWindow() override;

  TrackViewCanvas& Canvas() { return *canvas_; }
  std::string SummaryText() const { return summary_->GetLabel().utf8_string(); }
  std::string HoverText() const { return hover_->GetLabel().utf8_string(); }
  // Writes the picture as PNG; a failure is shown in a message box.
  bool SavePicture(const std::string& path);

#ifdef QUILLON_MAPS
  // The drop-down's entries: "None", the sources, opened files, "Open Map File...".
  std::vector<std::string> MapLabels() const;
  std::size_t ChosenMap() const;
  // Shows the map of entry `index` and remembers it for the next time; the
  // last entry asks for an MBTiles file.
  void ChooseMap(std::size_t index);
  // Adds an MBTiles file to the entries and shows it; a file that cannot be
  // opened is named in a message box.
  bool OpenMapFile(const std::string& path);
  std::string MapStatus() const { return mapStatus_->GetLabel().utf8_string(); }
  // The map being shown; nullptr for the plain field.
  const TrackViewMap* Map() const { return map_.get(); }
#endif

 private:
  void OnSavePicture();
#ifdef QUILLON_MAPS
  void BuildMapChoices();
  void ShowChoice(std::size_t index, bool remember);
  void SetMapStatus(const std::string& text);
#endif

  TrackModel model_;
  std::vector<PhotoMarker> photos_;
  TrackSummary summaryData_;
  std::string pictureName_;
  TrackViewCanvas* canvas_ = nullptr;
  wxStaticText* summary_ = nullptr;
  wxStaticText* hover_ = nullptr;
#ifdef QUILLON_MAPS
  TrackModel mapModel_;
  std::vector<PhotoMarker> mapPhotos_;
  std::unique_ptr<MapChooser> chooser_;
  bool mercatorShown_ = false;
  wxChoice* mapChoice_ = nullptr;
  wxStaticText* mapStatus_ = nullptr;
  std::shared_ptr<TrackViewMap> map_;
#endif
};

}  // namespace quillon::ui
