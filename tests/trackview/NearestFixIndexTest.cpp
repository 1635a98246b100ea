#include "trackview/NearestFixIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "tests/trackview/TrackViewTestSupport.h"

namespace quillon {
namespace {

std::optional<std::uint32_t> BruteForce(const TrackModel& model, double x, double y, double maxDistance) {
  std::optional<std::uint32_t> best;
  double bestSquared = maxDistance * maxDistance;
  for (std::uint32_t i = 0; i < model.Fixes().size(); ++i) {
    const double dx = model.Fixes()[i].x - x;
    const double dy = model.Fixes()[i].y - y;
    if (dx * dx + dy * dy < bestSquared || (!best && dx * dx + dy * dy == bestSquared)) {
      bestSquared = dx * dx + dy * dy;
      best = i;
    }
  }
  return best;
}

struct TrackShape {
  const char* name;
  std::size_t fixes;
  std::function<std::pair<std::int32_t, std::int32_t>(std::size_t, std::mt19937&)> at;
};

// Every shape is queried at random points inside and well outside its
// bounds, with and without a distance limit, and must agree with a scan of
// every fix.
TEST(NearestFixIndexTest, AgreesWithAFullScan) {
  const std::vector<TrackShape> shapes = {
      {"random walk", 5000,
       [walk = std::pair<std::int32_t, std::int32_t>{25000000, 121000000}](std::size_t, std::mt19937& rng) mutable {
         std::uniform_int_distribution<std::int32_t> step(-300, 300);
         walk.first += step(rng);
         walk.second += step(rng);
         return walk;
       }},
      {"north-south line", 3000, [](std::size_t i, std::mt19937&) {
         return std::pair<std::int32_t, std::int32_t>{static_cast<std::int32_t>(i * 10), 5000000};
       }},
      {"standing still", 500, [](std::size_t, std::mt19937&) { return std::pair<std::int32_t, std::int32_t>{1, 1}; }},
      {"two far clusters", 2000, [](std::size_t i, std::mt19937& rng) {
         std::uniform_int_distribution<std::int32_t> jitter(0, 50);
         const std::int32_t base = i % 2 ? 40000000 : -30000000;
         return std::pair<std::int32_t, std::int32_t>{base + jitter(rng), base / 2 + jitter(rng)};
       }},
  };
  for (const TrackShape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    std::mt19937 rng(7);
    FixList list;
    for (std::size_t i = 0; i < shape.fixes; ++i) {
      const auto [lat, lon] = shape.at(i, rng);
      list.Append(testing::FixAt(lat, lon));
    }
    const TrackModel model = TrackModel::Build(list);
    const NearestFixIndex index(model);
    const WorldRect& b = model.Bounds();
    const double span = std::max({b.Width(), b.Height(), 1e-4});
    std::uniform_real_distribution<double> qx(b.left - span, b.right + span);
    std::uniform_real_distribution<double> qy(b.bottom - span, b.top + span);
    for (int q = 0; q < 400; ++q) {
      const double x = qx(rng);
      const double y = qy(rng);
      for (const double limit : {double{INFINITY}, span / 50.0}) {
        const auto expected = BruteForce(model, x, y, limit);
        const auto found = index.Nearest(x, y, limit);
        ASSERT_EQ(found.has_value(), expected.has_value()) << x << "," << y << " limit " << limit;
        if (!found) continue;
        const auto distance = [&](std::uint32_t i) {
          return std::hypot(model.Fixes()[i].x - x, model.Fixes()[i].y - y);
        };
        ASSERT_EQ(distance(*found), distance(*expected)) << x << "," << y << " limit " << limit;
      }
    }
  }
}

TEST(NearestFixIndexTest, EmptyModelFindsNothing) {
  const TrackModel model = TrackModel::Build(FixList());
  EXPECT_FALSE(NearestFixIndex(model).Nearest(0.0, 0.0, INFINITY));
}

}  // namespace
}  // namespace quillon
