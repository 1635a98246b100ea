#pragma once

#include <string>

#include "trackview/TrackModel.h"

namespace quillon {

struct PixelPoint {
  double x = 0.0;
  double y = 0.0;
};

struct PixelRect {
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
  bool Contains(const PixelPoint& p) const {
    return p.x >= left && p.x <= left + width && p.y >= top && p.y <= top + height;
  }
};

// Maps world coordinates to pixels (y grows downwards) with one scale for
// both axes, so that the map keeps its proportions.
class Viewport {
 public:
  // The whole `world` centred in `rect`, `margin` pixels kept free on every
  // side. A world of a single point gets a scale of one pixel per metre.
  Viewport(const WorldRect& world, const PixelRect& rect, double margin, double metresPerUnit);

  PixelPoint ToPixel(double x, double y) const { return {originX_ + x * scale_, originY_ - y * scale_}; }
  void ToWorld(const PixelPoint& p, double& x, double& y) const {
    x = (p.x - originX_) / scale_;
    y = (originY_ - p.y) / scale_;
  }

  // Zooms by `factor` (above 1 zooms in) so that the world point under
  // `anchor` stays under it.
  void ZoomAbout(const PixelPoint& anchor, double factor);
  // Moves the map by a drag of (dx, dy) pixels.
  void Pan(double dx, double dy);

  const PixelRect& Rect() const { return rect_; }
  double PixelsPerUnit() const { return scale_; }
  double MetresPerPixel() const { return metresPerUnit_ / scale_; }

 private:
  PixelRect rect_;
  double metresPerUnit_;
  double scale_ = 1.0;
  double originX_ = 0.0;
  double originY_ = 0.0;
};

// A scale bar of a round length (1, 2 or 5 times a power of ten metres) no
// longer than `maxPixels`, labelled "500 m" or "2 km".
struct ScaleBar {
  double pixels = 0.0;
  double metres = 0.0;
  std::string label;
};
ScaleBar ChooseScaleBar(double metresPerPixel, double maxPixels);

}  // namespace quillon
