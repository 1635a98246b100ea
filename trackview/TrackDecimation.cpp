#include "trackview/TrackDecimation.h"

namespace quillon {

namespace {

enum : unsigned { kLeft = 1, kRight = 2, kAbove = 4, kBelow = 8 };

// Which edges of `rect` the point lies beyond (0 inside).
unsigned OutCode(const PixelPoint& p, const PixelRect& rect) {
  unsigned code = 0;
  if (p.x < rect.left) code |= kLeft;
  if (p.x > rect.left + rect.width) code |= kRight;
  if (p.y < rect.top) code |= kAbove;
  if (p.y > rect.top + rect.height) code |= kBelow;
  return code;
}

}  // namespace

std::vector<std::uint32_t> DecimateTrack(const TrackModel& model, const Viewport& viewport, double minPixels) {
  const std::vector<TrackFix>& fixes = model.Fixes();
  std::vector<std::uint32_t> kept;
  if (fixes.empty()) return kept;
  const PixelRect& rect = viewport.Rect();
  const double minSquared = minPixels * minPixels;

  PixelPoint last = viewport.ToPixel(fixes[0].x, fixes[0].y);
  unsigned lastCode = OutCode(last, rect);
  kept.push_back(0);
  // The outside edges that every fix since the last kept one shares; the
  // newest of them waits in `pending` to close the stretch.
  unsigned shared = lastCode;
  bool hasPending = false;
  std::uint32_t pending = 0;

  const std::uint32_t end = static_cast<std::uint32_t>(fixes.size());
  for (std::uint32_t i = 1; i < end; ++i) {
    const PixelPoint p = viewport.ToPixel(fixes[i].x, fixes[i].y);
    const unsigned code = OutCode(p, rect);
    const bool forced = fixes[i].runStart || i + 1 == end;
    if (!forced && code != 0 && (shared & code) != 0) {
      shared &= code;
      pending = i;
      hasPending = true;
      continue;
    }
    if (!forced && code == 0 && lastCode == 0 && !hasPending) {
      const double dx = p.x - last.x;
      const double dy = p.y - last.y;
      if (dx * dx + dy * dy < minSquared) continue;
    }
    if (hasPending) {
      kept.push_back(pending);
      hasPending = false;
    }
    kept.push_back(i);
    last = p;
    lastCode = code;
    shared = code;
  }
  return kept;
}

}  // namespace quillon
