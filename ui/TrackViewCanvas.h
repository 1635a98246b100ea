#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <wx/image.h>
#include <wx/panel.h>

#include "trackview/NearestFixIndex.h"
#include "trackview/PhotoMarkers.h"
#include "trackview/SpeedAltitudeProfile.h"
#include "trackview/SpeedScale.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackViewLayout.h"
#include "trackview/Viewport.h"
#include "ui/TrackViewPainter.h"

namespace quillon::ui {

// The Track View's picture: paints the model and the photos placed on it,
// and turns the mouse into zoom (wheel, around the pointer), pan (drag) and
// hover (on the map a photo marker under the pointer, else the nearest fix;
// over a profile the fix nearest in time). A double click fits the whole
// track again.
class TrackViewCanvas : public wxPanel {
 public:
  // `photos` are placed in `model`'s world; both must outlive the canvas.
  TrackViewCanvas(wxWindow* parent, const TrackModel& model, const std::vector<PhotoMarker>& photos,
                  double highestKmh, bool useLocalTime);

  // Told the hovered fix or photo in words, or "" when the pointer leaves it.
  void SetHoverListener(std::function<void(const std::string&)> listener) { hoverListener_ = std::move(listener); }
  // The picture as it is on the screen, drawn again off the screen.
  wxImage RenderPicture();
  // Paints another model of the same fixes (another projection) and its
  // photos, both to outlive the canvas; the whole track is fitted again.
  void SetModel(const TrackModel& model, const std::vector<PhotoMarker>& photos);
  // What is painted under the track and its attribution; an empty function
  // for the plain field.
  void SetUnderlay(std::function<void(wxGraphicsContext&, const Viewport&, const PixelRect&)> underlay,
                   std::string attribution);

  // For tests: what the pointer would do at canvas pixel p.
  void HoverAt(const wxPoint& p);
  void ZoomAt(const wxPoint& p, int wheelSteps);
  void DragBy(const wxPoint& from, const wxPoint& to);
  std::optional<std::uint32_t> Hovered() const { return hovered_; }
  std::optional<std::size_t> HoveredPhoto() const { return hoveredPhoto_; }
  const Viewport& View() const { return *viewport_; }
  const TrackViewLayout& Layout() const { return layout_; }

 private:
  TrackViewScene Scene() const;
  void FitToSize();
  void SetHovered(std::optional<std::uint32_t> hovered, std::optional<std::size_t> photo = std::nullopt);
  void OnPaint(wxPaintEvent& event);
  void OnMouse(wxMouseEvent& event);

  const TrackModel* model_;
  const std::vector<PhotoMarker>* photos_;
  std::optional<NearestFixIndex> index_;
  std::function<void(wxGraphicsContext&, const Viewport&, const PixelRect&)> underlay_;
  std::string attribution_;
  SpeedScale scale_;
  TimeAxis axis_;
  bool useLocalTime_;
  TrackViewLayout layout_;
  std::optional<Viewport> viewport_;
  std::optional<std::uint32_t> hovered_;
  std::optional<std::size_t> hoveredPhoto_;
  std::optional<wxPoint> dragFrom_;
  std::function<void(const std::string&)> hoverListener_;
};

}  // namespace quillon::ui
