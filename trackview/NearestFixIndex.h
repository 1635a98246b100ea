#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "trackview/TrackModel.h"

namespace quillon {

// Finds the fix nearest to a world point through a uniform grid of about two
// fixes a cell, so that hovering over a full logger memory costs a few cells,
// not a scan of every fix.
class NearestFixIndex {
 public:
  explicit NearestFixIndex(const TrackModel& model);

  // Index into the model's fixes of the one nearest to (x, y) within
  // `maxDistance` world units; of equally near fixes the earliest.
  std::optional<std::uint32_t> Nearest(double x, double y, double maxDistance) const;

 private:
  std::size_t CellOf(long long column, long long row) const {
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) + static_cast<std::size_t>(column);
  }

  const TrackModel& model_;
  double left_ = 0.0;
  double bottom_ = 0.0;
  double cellSize_ = 1.0;
  long long columns_ = 1;
  long long rows_ = 1;
  // Fixes of cell c are entries_[starts_[c]] to entries_[starts_[c + 1]].
  std::vector<std::uint32_t> starts_;
  std::vector<std::uint32_t> entries_;
};

}  // namespace quillon
