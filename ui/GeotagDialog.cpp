#include "ui/GeotagDialog.h"

#include <algorithm>
#include <iterator>

#include <wx/dirdlg.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/sizer.h>

#include "ui/LoggerIcon.h"

namespace quillon::ui {

namespace {

std::function<std::vector<std::string>(bool)>& Hook() {
  static std::function<std::vector<std::string>(bool)> hook;
  return hook;
}

// Hands every file and folder dropped on a window to `add`.
class PhotoDropTarget : public wxFileDropTarget {
 public:
  explicit PhotoDropTarget(std::function<void(const std::vector<std::string>&)> add) : add_(std::move(add)) {}

  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& files) override {
    std::vector<std::string> paths;
    for (const wxString& file : files) paths.push_back(file.utf8_string());
    add_(paths);
    return !paths.empty();
  }

 private:
  std::function<void(const std::vector<std::string>&)> add_;
};

struct Column {
  const char* title;
  int width;
};
const Column kColumns[] = {
    {"File", 150}, {"Camera time", 165}, {"UTC time", 190}, {"Latitude", 90}, {"Longitude", 100}, {"Outcome", 230},
};

const wxColour kProblemText(180, 30, 30);

}  // namespace

void SetGeotagChooserHook(std::function<std::vector<std::string>(bool folder)> hook) { Hook() = std::move(hook); }

GeotagDialog::GeotagDialog(wxWindow* parent, std::vector<TrackPoint> track, bool rawLogLoaded)
    : wxDialog(parent, wxID_ANY, "Geotag Photos", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      session_(std::make_unique<GeotagSession>(std::move(track), rawLogLoaded)) {
  SetIcons(LoggerIcons());
  BuildControls();
  // Reports come from the session's worker; the window is drawn on its own
  // thread, once for however many reports arrived meanwhile.
  session_->SetListener([this] {
    if (!showQueued_.exchange(true)) CallAfter([this] {
        showQueued_ = false;
        ShowSession();
      });
  });
  ShowSession();
}

GeotagDialog::~GeotagDialog() {
  // The worker ends before the window it reports to.
  session_.reset();
}

void GeotagDialog::BuildControls() {
  const bool hasTrack = session_->HasTrack();
  track_ = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(session_->TrackText()));
  track_->SetFont(track_->GetFont().Bold());
  if (!hasTrack) track_->SetForegroundColour(kProblemText);

  auto* addPhotos = new wxButton(this, geotagids::kAddPhotos, "Add Photos...");
  auto* addFolder = new wxButton(this, geotagids::kAddFolder, "Add Folder...");
  auto* dropHint = new wxStaticText(this, wxID_ANY, "or drop photos and folders here");
  dropHint->SetForegroundColour(wxColour(90, 98, 106));
  addPhotos->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddPhotos(); });
  addFolder->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFolder(); });

  table_ = new wxListCtrl(this, geotagids::kTable, wxDefaultPosition, FromDIP(wxSize(900, 280)),
                          wxLC_REPORT | wxLC_SINGLE_SEL);
  for (int c = 0; c < static_cast<int>(std::size(kColumns)); ++c)
    table_->InsertColumn(c, kColumns[c].title, c == 3 || c == 4 ? wxLIST_FORMAT_RIGHT : wxLIST_FORMAT_LEFT,
                         FromDIP(kColumns[c].width));

  // The program's compact control style leaves edits no taller than their
  // text; these stand in a sizer layout and get room around it.
  const wxSize editSize(FromDIP(110), GetCharHeight() + FromDIP(10));
  zone_ = new wxTextCtrl(this, geotagids::kCameraZone, "", wxDefaultPosition, editSize);
  offset_ = new wxTextCtrl(this, geotagids::kClockOffset, "0", wxDefaultPosition, editSize);
  replace_ = new wxCheckBox(this, geotagids::kReplacePositions, "Replace positions photos already have");
  zone_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
    session_->SetCameraZone(zone_->GetValue().utf8_string());
    ShowSession();
  });
  offset_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
    session_->SetClockOffset(offset_->GetValue().utf8_string());
    ShowSession();
  });
  replace_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
    session_->SetReplacePositions(replace_->GetValue());
    ShowSession();
  });

  status_ = new wxStaticText(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
  progress_ = new wxGauge(this, wxID_ANY, 1, wxDefaultPosition, FromDIP(wxSize(200, 14)));
  write_ = new wxButton(this, geotagids::kWritePositions, "Write Positions");
  cancel_ = new wxButton(this, geotagids::kCancelWrite, "Cancel");
  close_ = new wxButton(this, wxID_CLOSE, "Close");
  write_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    session_->StartWriting();
    ShowSession();
  });
  cancel_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
    session_->Cancel();
    ShowSession();
  });
  close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
  Bind(wxEVT_CLOSE_WINDOW, &GeotagDialog::OnClose, this);
  SetEscapeId(wxID_CLOSE);

  const int gap = FromDIP(8);
  auto* adding = new wxBoxSizer(wxHORIZONTAL);
  adding->Add(addPhotos, 0);
  adding->Add(addFolder, 0, wxLEFT, gap);
  adding->Add(dropHint, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gap);

  auto* fields = new wxFlexGridSizer(3, FromDIP(6), gap);
  auto hint = [this](const char* text) {
    auto* label = new wxStaticText(this, wxID_ANY, text);
    label->SetForegroundColour(wxColour(90, 98, 106));
    return label;
  };
  fields->Add(new wxStaticText(this, wxID_ANY, "Camera time zone:"), 0, wxALIGN_CENTER_VERTICAL);
  fields->Add(zone_, 0);
  fields->Add(hint("empty: this PC's zone; or UTC, +HH:MM, -HH:MM, a zone name (for photos that do not say)"), 0,
              wxALIGN_CENTER_VERTICAL);
  fields->Add(new wxStaticText(this, wxID_ANY, "Clock offset:"), 0, wxALIGN_CENTER_VERTICAL);
  fields->Add(offset_, 0);
  fields->Add(hint("logger clock minus camera clock: [+-]SS, [+-]MM:SS or [+-]HH:MM:SS"), 0, wxALIGN_CENTER_VERTICAL);

  auto* bar = new wxBoxSizer(wxHORIZONTAL);
  bar->Add(progress_, 1, wxALIGN_CENTER_VERTICAL);
  bar->Add(write_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(16));
  bar->Add(cancel_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gap);
  bar->Add(close_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, gap);

  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(track_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(12));
  column->Add(adding, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(12));
  column->Add(table_, 1, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(12));
  column->Add(fields, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(12));
  column->Add(replace_, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(12));
  column->Add(status_, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(12));
  column->Add(bar, 0, wxEXPAND | wxALL, FromDIP(12));
  SetSizerAndFit(column);
  SetMinSize(GetSize());

  // On the toolkits a drop goes to the control under the pointer.
  auto add = [this](const std::vector<std::string>& paths) { AddPaths(paths); };
  SetDropTarget(new PhotoDropTarget(add));
  for (wxWindow* child : GetChildren()) child->SetDropTarget(new PhotoDropTarget(add));
  CentreOnParent();
}

void GeotagDialog::AddPaths(const std::vector<std::string>& paths) {
  session_->AddPaths(paths);
  ShowSession();
}

void GeotagDialog::OnAddPhotos() {
  std::vector<std::string> paths;
  if (Hook()) {
    paths = Hook()(false);
  } else {
    wxFileDialog dialog(this, "Add Photos", wxString(), wxString(),
                        "Photos (*.jpg;*.jpeg;*.tif;*.tiff;*.png;*.dng;*.webp)|"
                        "*.jpg;*.jpeg;*.JPG;*.JPEG;*.tif;*.tiff;*.TIF;*.TIFF;*.png;*.PNG;*.dng;*.DNG;*.webp;*.WEBP|"
                        "All files|*",
                        wxFD_OPEN | wxFD_MULTIPLE | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    wxArrayString chosen;
    dialog.GetPaths(chosen);
    for (const wxString& path : chosen) paths.push_back(path.utf8_string());
  }
  AddPaths(paths);
}

void GeotagDialog::OnAddFolder() {
  std::vector<std::string> paths;
  if (Hook()) {
    paths = Hook()(true);
  } else {
    wxDirDialog dialog(this, "Add Folder", wxString(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    paths.push_back(dialog.GetPath().utf8_string());
  }
  AddPaths(paths);
}

void GeotagDialog::OnClose(wxCloseEvent& event) {
  // Writing stops after the photo in hand; the dialog closes once it has.
  if (session_->Snapshot().phase == GeotagPhase::kWriting && event.CanVeto()) {
    closeWhenWritten_ = true;
    session_->Cancel();
    event.Veto();
    return;
  }
  if (IsModal()) {
    EndModal(wxID_CLOSE);
  } else {
    event.Skip();
  }
}

void GeotagDialog::ShowSession() {
  const GeotagSnapshot snapshot = session_->Snapshot();
  const bool writing = snapshot.phase == GeotagPhase::kWriting;
  if (!writing && closeWhenWritten_) {
    closeWhenWritten_ = false;
    Close();
    return;
  }

  const long count = static_cast<long>(snapshot.rows.size());
  if (table_->GetItemCount() > count) table_->DeleteAllItems();
  shownRows_.resize(snapshot.rows.size());
  for (long row = 0; row < count; ++row) {
    const GeotagRowTexts texts = RowTexts(snapshot.rows[row]);
    if (row >= table_->GetItemCount()) {
      table_->InsertItem(row, wxString::FromUTF8(texts[0]));
      shownRows_[row] = {texts[0]};
    }
    for (int c = 1; c < static_cast<int>(texts.size()); ++c) {
      if (shownRows_[row][c] == texts[c]) continue;
      table_->SetItem(row, c, wxString::FromUTF8(texts[c]));
      shownRows_[row][c] = texts[c];
    }
  }

  status_->SetLabel(wxString::FromUTF8(StatusText(snapshot)));
  status_->SetForegroundColour(snapshot.fieldProblem.empty() ? GetForegroundColour() : kProblemText);
  progress_->SetRange(std::max<int>(1, static_cast<int>(snapshot.progressTotal)));
  progress_->SetValue(snapshot.phase == GeotagPhase::kWriting || snapshot.phase == GeotagPhase::kWritten
                          ? static_cast<int>(snapshot.progress)
                          : 0);
  write_->Enable(snapshot.canWrite);
  cancel_->Enable(writing);
  for (int id : {geotagids::kAddPhotos, geotagids::kAddFolder, geotagids::kCameraZone, geotagids::kClockOffset,
                 geotagids::kReplacePositions})
    FindWindow(id)->Enable(!writing);
}

}  // namespace quillon::ui
