#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <wx/image.h>
#include <wx/panel.h>

#include "trackview/NearestFixIndex.h"
#include "trackview/SpeedAltitudeProfile.h"
#include "trackview/SpeedScale.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackViewLayout.h"
#include "trackview/Viewport.h"
#include "ui/TrackViewPainter.h"

namespace quillon::ui {

// The Track View's picture: paints the model and turns the mouse into zoom
// (wheel, around the pointer), pan (drag) and hover (the nearest fix on the
// map, or the nearest in time over a profile). A double click fits the
// whole track again.
class TrackViewCanvas : public wxPanel {
 public:
  TrackViewCanvas(wxWindow* parent, const TrackModel& model, double highestKmh, bool useLocalTime);

  // Told the hovered fix in words, or "" when the pointer leaves it.
  void SetHoverListener(std::function<void(const std::string&)> listener) { hoverListener_ = std::move(listener); }
  // The picture as it is on the screen, drawn again off the screen.
  wxImage RenderPicture();

  // For tests: what the pointer would do at canvas pixel p.
  void HoverAt(const wxPoint& p);
  void ZoomAt(const wxPoint& p, int wheelSteps);
  void DragBy(const wxPoint& from, const wxPoint& to);
  std::optional<std::uint32_t> Hovered() const { return hovered_; }
  const Viewport& View() const { return *viewport_; }
  const TrackViewLayout& Layout() const { return layout_; }

 private:
  TrackViewScene Scene() const;
  void FitToSize();
  void SetHovered(std::optional<std::uint32_t> hovered);
  void OnPaint(wxPaintEvent& event);
  void OnMouse(wxMouseEvent& event);

  const TrackModel& model_;
  NearestFixIndex index_;
  SpeedScale scale_;
  TimeAxis axis_;
  bool useLocalTime_;
  TrackViewLayout layout_;
  std::optional<Viewport> viewport_;
  std::optional<std::uint32_t> hovered_;
  std::optional<wxPoint> dragFrom_;
  std::function<void(const std::string&)> hoverListener_;
};

}  // namespace quillon::ui
