#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/gauge.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "geotag/GeotagSession.h"

namespace quillon::ui {

// The Geotag Photos dialog's controls.
namespace geotagids {
inline constexpr int kAddPhotos = 101;
inline constexpr int kAddFolder = 102;
inline constexpr int kTable = 103;
inline constexpr int kCameraZone = 104;
inline constexpr int kClockOffset = 105;
inline constexpr int kReplacePositions = 106;
inline constexpr int kWritePositions = 107;
inline constexpr int kCancelWrite = 108;
}  // namespace geotagids

// "Geotag Photos": the photo list with what each dry run says, the fields,
// and "Write Positions" with its progress and Cancel. The behaviour is
// GeotagSession's; the dialog shows its snapshots as the session reports.
class GeotagDialog : public wxDialog {
 public:
  GeotagDialog(wxWindow* parent, std::vector<TrackPoint> track, bool rawLogLoaded);
  ~GeotagDialog() override;

  GeotagSession& Session() { return *session_; }
  // Adds photos and folders, as the file dialogs and a drop do.
  void AddPaths(const std::vector<std::string>& paths);
  std::string TrackText() const { return track_->GetLabel().utf8_string(); }
  std::string StatusLine() const { return status_->GetLabel().utf8_string(); }
  // The table's cell, as shown.
  std::string Cell(long row, int column) const { return table_->GetItemText(row, column).utf8_string(); }
  int Rows() const { return table_->GetItemCount(); }
  const wxGauge& Progress() const { return *progress_; }

 private:
  void BuildControls();
  void ShowSession();
  void OnAddPhotos();
  void OnAddFolder();
  void OnClose(wxCloseEvent& event);

  std::unique_ptr<GeotagSession> session_;
  // Set while a ShowSession is queued, so that a burst of reports from the
  // worker redraws the window once.
  std::atomic<bool> showQueued_{false};
  bool closeWhenWritten_ = false;
  std::vector<GeotagRowTexts> shownRows_;
  wxStaticText* track_ = nullptr;
  wxListCtrl* table_ = nullptr;
  wxTextCtrl* zone_ = nullptr;
  wxTextCtrl* offset_ = nullptr;
  wxCheckBox* replace_ = nullptr;
  wxStaticText* status_ = nullptr;
  wxGauge* progress_ = nullptr;
  wxButton* write_ = nullptr;
  wxButton* cancel_ = nullptr;
  wxButton* close_ = nullptr;
};

// Lets tests answer "Add Photos..." (folder false) and "Add Folder..."
// (folder true) without showing a file dialog; an empty hook lets it show.
void SetGeotagChooserHook(std::function<std::vector<std::string>(bool folder)> hook);

}  // namespace quillon::ui
