#include "trackview/Viewport.h"

#include <algorithm>
#include <cmath>

namespace quillon {

Viewport::Viewport(const WorldRect& world, const PixelRect& rect, double margin, double metresPerUnit)
    : rect_(rect), metresPerUnit_(metresPerUnit > 0.0 ? metresPerUnit : 1.0) {
  const double width = std::max(rect.width - 2.0 * margin, 1.0);
  const double height = std::max(rect.height - 2.0 * margin, 1.0);
  if (world.Width() > 0.0 || world.Height() > 0.0) {
    const double sx = world.Width() > 0.0 ? width / world.Width() : INFINITY;
    const double sy = world.Height() > 0.0 ? height / world.Height() : INFINITY;
    scale_ = std::min(sx, sy);
  } else {
    scale_ = metresPerUnit_;
  }
  const double centreX = (world.left + world.right) / 2.0;
  const double centreY = (world.bottom + world.top) / 2.0;
  originX_ = rect.left + rect.width / 2.0 - centreX * scale_;
  originY_ = rect.top + rect.height / 2.0 + centreY * scale_;
}

void Viewport::ZoomAbout(const PixelPoint& anchor, double factor) {
  if (!(factor > 0.0)) return;
  double x = 0.0;
  double y = 0.0;
  ToWorld(anchor, x, y);
  scale_ *= factor;
  originX_ = anchor.x - x * scale_;
  originY_ = anchor.y + y * scale_;
}

void Viewport::Pan(double dx, double dy) {
  originX_ += dx;
  originY_ += dy;
}

ScaleBar ChooseScaleBar(double metresPerPixel, double maxPixels) {
  ScaleBar bar;
  if (!(metresPerPixel > 0.0) || !(maxPixels > 0.0)) return bar;
  const double longest = metresPerPixel * maxPixels;
  double power = std::pow(10.0, std::floor(std::log10(longest)));
  for (double step : {5.0, 2.0, 1.0}) {
    if (step * power <= longest) {
      bar.metres = step * power;
      break;
    }
  }
  if (bar.metres == 0.0) bar.metres = power;
  bar.pixels = bar.metres / metresPerPixel;
  const long long whole = std::llround(bar.metres);
  if (bar.metres >= 1000.0) {
    bar.label = std::to_string(whole / 1000) + " km";
  } else if (bar.metres >= 1.0) {
    bar.label = std::to_string(whole) + " m";
  } else {
    bar.label = "< 1 m";
  }
  return bar;
}

}  // namespace quillon
