#include "ui/TrackViewWindow.h"

#include <wx/filedlg.h>
#include <wx/log.h>
#include <wx/sizer.h>

#include "ui/ColouredMessageBox.h"
#include "ui/LoggerIcon.h"
#ifdef QUILLON_MAPS
#include "maps/MapFolders.h"
#endif

namespace quillon::ui {

TrackViewWindow::TrackViewWindow(wxWindow* parent, const FixList& fixes, bool useLocalTime, std::string pictureName,
                                 const std::vector<GeotaggedPhoto>& photos)
    : wxDialog(parent, wxID_ANY, "Track View - Demo Software", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMAXIMIZE_BOX | wxMINIMIZE_BOX),
      model_(TrackModel::Build(fixes)),
      photos_(PlacePhotoMarkers(model_, photos)),
      summaryData_(SummariseTrack(fixes)),
      pictureName_(std::move(pictureName)) {
  SetIcons(LoggerIcons());
  canvas_ = new TrackViewCanvas(this, model_, photos_, summaryData_.highestKmh.value_or(0.0), useLocalTime);

  std::string summaryLine = FormatSummary(summaryData_);
  if (model_.LeftOut() > 0) summaryLine += ", " + std::to_string(model_.LeftOut()) + " without a position";
  if (!photos_.empty())
    summaryLine += ", " + std::to_string(photos_.size()) + (photos_.size() == 1 ? " photo" : " photos");
  summary_ = new wxStaticText(this, wxID_ANY, wxString::FromUTF8(summaryLine));
  summary_->SetFont(summary_->GetFont().Bold());
  // Sized again for the bold face: the size taken at creation was the
  // regular face's, which cuts the line's end where bold is wider. The line
  // also takes the width of its column (below), for faces whose bold is
  // measured narrower than it is drawn (made-up bold under Wine).
  summary_->SetInitialSize();
  hover_ = new wxStaticText(this, wxID_ANY, "Wheel zooms, drag pans, double click shows the whole track");
  hover_->SetForegroundColour(wxColour(90, 98, 106));
#ifdef QUILLON_MAPS
  mapModel_ = TrackModel::Build(fixes, MapProjection::kWebMercator);
  mapPhotos_ = PlacePhotoMarkers(mapModel_, photos);
  mapStatus_ = new wxStaticText(this, wxID_ANY, wxString());
  mapStatus_->SetForegroundColour(wxColour(90, 98, 106));
  mapChoice_ = new wxChoice(this, wxID_ANY);
  mapChoice_->SetToolTip("The map under the track");
  mapChoice_->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
    if (event.GetSelection() >= 0) ChooseMap(static_cast<std::size_t>(event.GetSelection()));
  });
#endif
  auto* save = new wxButton(this, wxID_ANY, "Save Picture...");
  save->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSavePicture(); });
  auto* close = new wxButton(this, wxID_CLOSE, "Close");
  close->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EndModal(wxID_CLOSE); });
  SetEscapeId(wxID_CLOSE);

  canvas_->SetHoverListener([this](const std::string& text) {
    hover_->SetLabel(text.empty() ? wxString("Wheel zooms, drag pans, double click shows the whole track")
                                  : wxString::FromUTF8(text));
  });

  auto* texts = new wxBoxSizer(wxVERTICAL);
  texts->Add(summary_, 0, wxEXPAND | wxBOTTOM, FromDIP(3));
  texts->Add(hover_, 0);
#ifdef QUILLON_MAPS
  texts->Add(mapStatus_, 0, wxTOP, FromDIP(3));
#endif
  auto* bar = new wxBoxSizer(wxHORIZONTAL);
  bar->Add(texts, 1, wxALIGN_CENTER_VERTICAL);
#ifdef QUILLON_MAPS
  bar->Add(mapChoice_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(8));
#endif
  bar->Add(save, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(8));
  bar->Add(close, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(8));
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(canvas_, 1, wxEXPAND);
  column->Add(bar, 0, wxEXPAND | wxALL, FromDIP(10));
  SetSizer(column);
  SetSize(FromDIP(wxSize(1000, 780)));
  SetMinSize(FromDIP(wxSize(520, 460)));
  CentreOnParent();
#ifdef QUILLON_MAPS
  BuildMapChoices();
#endif
}

TrackViewWindow::~TrackViewWindow() {
#ifdef QUILLON_MAPS
  // Cancels the fetching while the canvas that receives its tiles still exists.
  canvas_->SetUnderlay({}, {});
  map_.reset();
#endif
}

bool TrackViewWindow::SavePicture(const std::string& path) {
  wxImage picture = canvas_->RenderPicture();
  bool saved = false;
  {
    // The toolkit's own complaint would only reach standard error; the
    // message box below says it to the user.
    wxLogNull quiet;
    saved = picture.IsOk() && picture.SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
  }
  if (!saved) {
    ShowColouredMessageBox(this, "Can't save the picture " + path, "Save Picture", MessageButtons::kOk);
  }
  return saved;
}

void TrackViewWindow::OnSavePicture() {
  wxFileDialog dialog(this, "Save Picture", wxString(), wxString::FromUTF8(pictureName_), "PNG pictures (*.png)|*.png",
                      wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
  if (dialog.ShowModal() != wxID_OK) return;
  SavePicture(dialog.GetPath().utf8_string());
}

#ifdef QUILLON_MAPS

void TrackViewWindow::BuildMapChoices() {
  chooser_ = std::make_unique<MapChooser>(MakeUserKeyStore(), MapSourcesFilePath());
  for (const MapChoice& choice : chooser_->Choices()) mapChoice_->Append(wxString::FromUTF8(choice.label));
  mapChoice_->Append(kOpenMapFileLabel);
  ShowChoice(chooser_->Remembered(), false);
  if (!chooser_->LoadProblem().empty()) SetMapStatus(chooser_->LoadProblem());
}

std::vector<std::string> TrackViewWindow::MapLabels() const {
  std::vector<std::string> labels;
  for (unsigned i = 0; i < mapChoice_->GetCount(); ++i) labels.push_back(mapChoice_->GetString(i).utf8_string());
  return labels;
}

std::size_t TrackViewWindow::ChosenMap() const { return chooser_->Chosen(); }

void TrackViewWindow::ChooseMap(std::size_t index) {
  if (index >= chooser_->Choices().size()) {
    mapChoice_->SetSelection(static_cast<int>(chooser_->Chosen()));
    wxFileDialog dialog(this, "Open Map File", wxString(), wxString(),
                        "MBTiles files (*.mbtiles)|*.mbtiles|All files|*", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() == wxID_OK) OpenMapFile(dialog.GetPath().utf8_string());
    return;
  }
  ShowChoice(index, true);
}

bool TrackViewWindow::OpenMapFile(const std::string& path) {
  std::string error;
  const std::size_t before = chooser_->Choices().size();
  const std::optional<std::size_t> index = chooser_->AddFile(path, error);
  if (!index) {
    ShowColouredMessageBox(this, error, "Open Map File", MessageButtons::kOk);
    return false;
  }
  if (chooser_->Choices().size() > before) {
    mapChoice_->Insert(wxString::FromUTF8(chooser_->Choices().back().label), static_cast<unsigned>(*index));
  }
  ChooseMap(*index);
  return chooser_->Chosen() == *index;
}

void TrackViewWindow::ShowChoice(std::size_t index, bool remember) {
  canvas_->SetUnderlay({}, {});
  map_.reset();
  MapChooser::Shown shown = chooser_->Show(index, remember);
  mapChoice_->SetSelection(static_cast<int>(shown.index));
  const MapChoice& choice = chooser_->Choices()[shown.index];
  const bool mercator = choice.DrawsMap();
  if (mercator != mercatorShown_) {
    mercatorShown_ = mercator;
    if (mercator) {
      canvas_->SetModel(mapModel_, mapPhotos_);
    } else {
      canvas_->SetModel(model_, photos_);
    }
  }
  SetMapStatus(shown.problem);
  if (!mercator) return;
  map_ = TrackViewMap::Make(
      canvas_, choice, std::move(shown.file), [this] { canvas_->Refresh(); },
      [this](const std::string& text) { SetMapStatus(text); });
  canvas_->SetUnderlay(
      [this](wxGraphicsContext& gc, const Viewport& view, const PixelRect& rect) {
        if (map_) map_->Draw(gc, view, rect);
      },
      choice.source.attribution);
}

void TrackViewWindow::SetMapStatus(const std::string& text) {
  const wxString label = wxString::FromUTF8(text);
  if (mapStatus_->GetLabel() == label) return;
  mapStatus_->SetLabel(label);
  Layout();
}

#endif

}  // namespace quillon::ui
