#include "ui/TrackViewCanvas.h"

#include <wx/dcbuffer.h>
#include <wx/dcmemory.h>

#include <cmath>
#include <memory>

namespace quillon::ui {

namespace {

constexpr double kMapMargin = 28.0;
constexpr double kHoverPixels = 14.0;
constexpr double kWheelZoom = 1.25;

}  // namespace

TrackViewCanvas::TrackViewCanvas(wxWindow* parent, const TrackModel& model, const std::vector<PhotoMarker>& photos,
                                 double highestKmh, bool useLocalTime)
    : wxPanel(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE | wxWANTS_CHARS),
      model_(&model),
      photos_(&photos),
      index_(std::in_place, model),
      scale_(highestKmh),
      axis_(MakeTimeAxis(model, useLocalTime)),
      useLocalTime_(useLocalTime) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetMinSize(FromDIP(wxSize(420, 320)));
  FitToSize();
  Bind(wxEVT_PAINT, &TrackViewCanvas::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
    FitToSize();
    Refresh();
    event.Skip();
  });
  for (auto type :
       {wxEVT_MOTION, wxEVT_LEFT_DOWN, wxEVT_LEFT_UP, wxEVT_LEFT_DCLICK, wxEVT_MOUSEWHEEL, wxEVT_LEAVE_WINDOW}) {
    Bind(type, &TrackViewCanvas::OnMouse, this);
  }
  Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { dragFrom_.reset(); });
}

void TrackViewCanvas::FitToSize() {
  const wxSize size = GetClientSize();
  layout_ = LayOutTrackView(std::max(size.x, 1), std::max(size.y, 1));
  viewport_.emplace(model_->Bounds(), layout_.fit, kMapMargin, model_->MetresPerUnit());
}

void TrackViewCanvas::SetModel(const TrackModel& model, const std::vector<PhotoMarker>& photos) {
  SetHovered(std::nullopt);
  model_ = &model;
  photos_ = &photos;
  index_.emplace(model);
  FitToSize();
  Refresh();
}

void TrackViewCanvas::SetUnderlay(std::function<void(wxGraphicsContext&, const Viewport&, const PixelRect&)> underlay,
                                  std::string attribution) {
  underlay_ = std::move(underlay);
  attribution_ = std::move(attribution);
  Refresh();
}

TrackViewScene TrackViewCanvas::Scene() const {
  TrackViewScene scene;
  scene.model = model_;
  scene.scale = &scale_;
  scene.axis = &axis_;
  scene.viewport = &*viewport_;
  scene.layout = layout_;
  scene.hovered = hovered_;
  scene.photos = photos_;
  scene.hoveredPhoto = hoveredPhoto_;
  scene.useLocalTime = useLocalTime_;
  scene.underlay = underlay_;
  scene.attribution = attribution_;
  return scene;
}

void TrackViewCanvas::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
  if (!gc) return;
  const wxSize size = GetClientSize();
  PaintTrackView(*gc, Scene(), size.x, size.y);
}

wxImage TrackViewCanvas::RenderPicture() {
  const wxSize size = GetClientSize();
  wxBitmap bitmap(std::max(size.x, 1), std::max(size.y, 1), 24);
  {
    wxMemoryDC dc(bitmap);
    std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(dc));
    if (gc) PaintTrackView(*gc, Scene(), size.x, size.y);
  }
  return bitmap.ConvertToImage();
}

void TrackViewCanvas::SetHovered(std::optional<std::uint32_t> hovered, std::optional<std::size_t> photo) {
  if (hovered == hovered_ && photo == hoveredPhoto_) return;
  hovered_ = hovered;
  hoveredPhoto_ = photo;
  Refresh();
  if (!hoverListener_) return;
  if (hoveredPhoto_) {
    hoverListener_(DescribePhoto((*photos_)[*hoveredPhoto_], *model_, useLocalTime_));
  } else {
    hoverListener_(hovered_ ? DescribeFix(model_->Fixes()[*hovered_], useLocalTime_) : "");
  }
}

void TrackViewCanvas::HoverAt(const wxPoint& p) {
  const PixelPoint pixel{static_cast<double>(p.x), static_cast<double>(p.y)};
  if (layout_.map.Contains(pixel) && !model_->Empty()) {
    double x = 0, y = 0;
    viewport_->ToWorld(pixel, x, y);
    const double reach = kHoverPixels / viewport_->PixelsPerUnit();
    // A photo lies on the track, so it wins over the fixes around it.
    if (const std::optional<std::size_t> photo = NearestMarker(*photos_, x, y, reach)) {
      SetHovered(std::nullopt, photo);
      return;
    }
    SetHovered(index_->Nearest(x, y, reach));
    return;
  }
  for (const PixelRect* plot : {&layout_.speedPlot, &layout_.altitudePlot}) {
    if (plot->Contains(pixel) && axis_.valid) {
      const double share = (pixel.x - plot->left) / plot->width;
      const auto when = axis_.start + static_cast<std::int64_t>(std::llround(share * (axis_.end - axis_.start)));
      SetHovered(NearestFixInTime(*model_, when));
      return;
    }
  }
  SetHovered(std::nullopt);
}

void TrackViewCanvas::ZoomAt(const wxPoint& p, int wheelSteps) {
  if (!layout_.map.Contains({static_cast<double>(p.x), static_cast<double>(p.y)})) return;
  viewport_->ZoomAbout({static_cast<double>(p.x), static_cast<double>(p.y)}, std::pow(kWheelZoom, wheelSteps));
  Refresh();
}

void TrackViewCanvas::DragBy(const wxPoint& from, const wxPoint& to) {
  viewport_->Pan(to.x - from.x, to.y - from.y);
  Refresh();
}

void TrackViewCanvas::OnMouse(wxMouseEvent& event) {
  const wxPoint p = event.GetPosition();
  const wxEventType type = event.GetEventType();
  if (type == wxEVT_MOUSEWHEEL) {
    const int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
    const int steps = event.GetWheelRotation() / delta;
    ZoomAt(p, steps != 0 ? steps : (event.GetWheelRotation() > 0 ? 1 : -1));
  } else if (type == wxEVT_LEFT_DOWN) {
    if (layout_.map.Contains({static_cast<double>(p.x), static_cast<double>(p.y)})) {
      dragFrom_ = p;
      if (!HasCapture()) CaptureMouse();
    }
  } else if (type == wxEVT_LEFT_UP) {
    dragFrom_.reset();
    if (HasCapture()) ReleaseMouse();
  } else if (type == wxEVT_LEFT_DCLICK) {
    FitToSize();
    Refresh();
  } else if (type == wxEVT_LEAVE_WINDOW) {
    if (!dragFrom_) SetHovered(std::nullopt);
  } else if (type == wxEVT_MOTION) {
    if (dragFrom_ && event.LeftIsDown()) {
      DragBy(*dragFrom_, p);
      dragFrom_ = p;
    } else {
      HoverAt(p);
    }
  }
  event.Skip();
}

}  // namespace quillon::ui
