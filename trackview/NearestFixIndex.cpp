#include "trackview/NearestFixIndex.h"

#include <algorithm>
#include <cmath>

namespace quillon {

NearestFixIndex::NearestFixIndex(const TrackModel& model) : model_(model) {
  const std::vector<TrackFix>& fixes = model.Fixes();
  if (fixes.empty()) return;
  const WorldRect& b = model.Bounds();
  left_ = b.left;
  bottom_ = b.bottom;
  const double width = std::max(b.Width(), 1e-9);
  const double height = std::max(b.Height(), 1e-9);
  // About two fixes a cell on average; a long thin track gets thin rows.
  const double cells = std::max(1.0, static_cast<double>(fixes.size()) / 2.0);
  cellSize_ = std::max(std::sqrt(width * height / cells), std::max(width, height) / cells);
  columns_ = std::max(1LL, static_cast<long long>(width / cellSize_) + 1);
  rows_ = std::max(1LL, static_cast<long long>(height / cellSize_) + 1);

  std::vector<std::uint32_t> cellOfFix(fixes.size());
  starts_.assign(static_cast<std::size_t>(columns_ * rows_) + 1, 0);
  for (std::size_t i = 0; i < fixes.size(); ++i) {
    const long long column = std::clamp(static_cast<long long>((fixes[i].x - left_) / cellSize_), 0LL, columns_ - 1);
    const long long row = std::clamp(static_cast<long long>((fixes[i].y - bottom_) / cellSize_), 0LL, rows_ - 1);
    cellOfFix[i] = static_cast<std::uint32_t>(CellOf(column, row));
    ++starts_[cellOfFix[i] + 1];
  }
  for (std::size_t c = 1; c < starts_.size(); ++c) starts_[c] += starts_[c - 1];
  entries_.resize(fixes.size());
  std::vector<std::uint32_t> fill(starts_.begin(), starts_.end() - 1);
  for (std::size_t i = 0; i < fixes.size(); ++i) entries_[fill[cellOfFix[i]]++] = static_cast<std::uint32_t>(i);
}

std::optional<std::uint32_t> NearestFixIndex::Nearest(double x, double y, double maxDistance) const {
  const std::vector<TrackFix>& fixes = model_.Fixes();
  if (fixes.empty() || !(maxDistance >= 0.0)) return std::nullopt;
  const auto cellIndex = [&](double value, double origin, long long count) {
    return std::clamp(static_cast<long long>(std::floor((value - origin) / cellSize_)), -1LL, count);
  };
  // Only cells within maxDistance of the point can hold an answer; the
  // search widens ring by ring and stops once a ring lies farther away than
  // the best fix found.
  const long long column = cellIndex(x, left_, columns_);
  const long long row = cellIndex(y, bottom_, rows_);
  const long long reach = static_cast<long long>(std::ceil(std::min(maxDistance / cellSize_, 4e6))) + 1;
  std::optional<std::uint32_t> best;
  double bestSquared = maxDistance * maxDistance;
  const auto visit = [&](long long c, long long r) {
    if (c < 0 || c >= columns_ || r < 0 || r >= rows_) return;
    const std::size_t cell = CellOf(c, r);
    for (std::uint32_t k = starts_[cell]; k < starts_[cell + 1]; ++k) {
      const std::uint32_t i = entries_[k];
      const double dx = fixes[i].x - x;
      const double dy = fixes[i].y - y;
      const double squared = dx * dx + dy * dy;
      if (squared < bestSquared || (squared == bestSquared && (!best || i < *best))) {
        bestSquared = squared;
        best = i;
      }
    }
  };
  for (long long ring = 0; ring <= reach; ++ring) {
    if (best && static_cast<double>(ring - 1) * cellSize_ > std::sqrt(bestSquared)) break;
    const long long c0 = column - ring;
    const long long c1 = column + ring;
    const long long r0 = row - ring;
    const long long r1 = row + ring;
    // A ring around the whole grid, and every ring after it, holds no cell.
    if (c0 < 0 && r0 < 0 && c1 >= columns_ && r1 >= rows_) break;
    for (long long c = std::max(c0, 0LL); c <= std::min(c1, columns_ - 1); ++c) {
      visit(c, r0);
      if (r1 != r0) visit(c, r1);
    }
    for (long long r = std::max(r0 + 1, 0LL); r <= std::min(r1 - 1, rows_ - 1); ++r) {
      visit(c0, r);
      if (c1 != c0) visit(c1, r);
    }
  }
  return best;
}

}  // namespace quillon
