#include "ui/TrackViewWindow.h"

#include <wx/filedlg.h>
#include <wx/log.h>
#include <wx/sizer.h>

#include "ui/ColouredMessageBox.h"
#include "ui/LoggerIcon.h"

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
  hover_ = new wxStaticText(this, wxID_ANY, "Wheel zooms, drag pans, double click shows the whole track");
  hover_->SetForegroundColour(wxColour(90, 98, 106));
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
  texts->Add(summary_, 0, wxBOTTOM, FromDIP(3));
  texts->Add(hover_, 0);
  auto* bar = new wxBoxSizer(wxHORIZONTAL);
  bar->Add(texts, 1, wxALIGN_CENTER_VERTICAL);
  bar->Add(save, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(8));
  bar->Add(close, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, FromDIP(8));
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(canvas_, 1, wxEXPAND);
  column->Add(bar, 0, wxEXPAND | wxALL, FromDIP(10));
  SetSizer(column);
  SetSize(FromDIP(wxSize(1000, 780)));
  SetMinSize(FromDIP(wxSize(520, 460)));
  CentreOnParent();
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

}  // namespace quillon::ui
