#pragma once

#include <cstdint>
#include <vector>

namespace quillon {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct LegendStop {
  double kmh = 0.0;
  Rgb colour;
};

// Colours for speeds from 0 up to a round top speed at or above the track's
// highest: blue when standing, through cyan, green and yellow, to red at the
// top. Faster speeds than the top stay red.
class SpeedScale {
 public:
  explicit SpeedScale(double highestKmh);

  double TopKmh() const { return top_; }
  Rgb ColourOf(double kmh) const;
  // Five stops, 0 to the top in equal round steps, for the legend.
  std::vector<LegendStop> Legend() const;

 private:
  double top_;
};

}  // namespace quillon
