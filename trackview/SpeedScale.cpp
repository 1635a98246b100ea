#include "trackview/SpeedScale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quillon {

namespace {

constexpr std::array<Rgb, 5> kRamp = {Rgb{0, 0, 255}, Rgb{0, 200, 255}, Rgb{0, 200, 0}, Rgb{255, 220, 0},
                                      Rgb{230, 0, 0}};

// Tops that divide into four round legend steps.
constexpr std::array<double, 12> kTops = {4, 8, 12, 20, 40, 60, 80, 100, 120, 160, 200, 400};

std::uint8_t Mix(std::uint8_t a, std::uint8_t b, double t) {
  return static_cast<std::uint8_t>(std::lround(a + (b - a) * t));
}

}  // namespace

SpeedScale::SpeedScale(double highestKmh) : top_(kTops.back()) {
  for (double top : kTops) {
    if (highestKmh <= top) {
      top_ = top;
      break;
    }
  }
  // Faster than any listed top (an aircraft, a damaged log): round up to 400s.
  if (highestKmh > top_) top_ = std::ceil(highestKmh / 400.0) * 400.0;
}

Rgb SpeedScale::ColourOf(double kmh) const {
  if (!(kmh > 0.0)) return kRamp.front();
  const double position = std::min(kmh / top_, 1.0) * (kRamp.size() - 1);
  const std::size_t low = std::min(static_cast<std::size_t>(position), kRamp.size() - 2);
  const double t = position - static_cast<double>(low);
  const Rgb& a = kRamp[low];
  const Rgb& b = kRamp[low + 1];
  return {Mix(a.red, b.red, t), Mix(a.green, b.green, t), Mix(a.blue, b.blue, t)};
}

std::vector<LegendStop> SpeedScale::Legend() const {
  std::vector<LegendStop> stops;
  for (std::size_t i = 0; i < kRamp.size(); ++i) {
    const double kmh = top_ * static_cast<double>(i) / (kRamp.size() - 1);
    stops.push_back({kmh, ColourOf(kmh)});
  }
  return stops;
}

}  // namespace quillon
