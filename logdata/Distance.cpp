#include "logdata/Distance.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace quillon {

namespace {

constexpr std::int64_t kMicroDegreesPerDegree = 1000000;
constexpr std::int64_t kFullCircle = 360 * kMicroDegreesPerDegree;

}  // namespace

std::int32_t LongitudeFactor(std::int32_t latitude) {
  std::int64_t degrees = std::llabs(std::int64_t{latitude}) / kMicroDegreesPerDegree;
  return degrees < static_cast<std::int64_t>(kLongitudeFactors.size()) ? kLongitudeFactors[degrees] : 0;
}

double DistanceMetres(std::int32_t lat1, std::int32_t lon1, std::int32_t lat2, std::int32_t lon2) {
  std::int64_t k = LongitudeFactor(lat1);
  std::int64_t longitudeStep = std::llabs(std::int64_t{lon1} - lon2) % kFullCircle;
  if (longitudeStep > kFullCircle / 2) longitudeStep = kFullCircle - longitudeStep;
  std::int64_t dx = longitudeStep * k / 111;
  std::int64_t dy = std::llabs(std::int64_t{lat1} - lat2);
  double fx = static_cast<double>(dx);
  double fy = static_cast<double>(dy);
  double d = std::sqrt(fx * fx + fy * fy);
  return d * 111319 / 1000000;
}

std::int32_t ToSignedMicroDegrees(std::string_view degreesText, bool negative) {
  std::size_t i = 0;
  while (i < degreesText.size() && degreesText[i] == ' ') ++i;
  if (i < degreesText.size() && (degreesText[i] == '+' || degreesText[i] == '-')) {
    if (degreesText[i] == '-') negative = !negative;
    ++i;
  }
  std::int64_t whole = 0;
  bool anyDigit = false;
  for (; i < degreesText.size() && degreesText[i] >= '0' && degreesText[i] <= '9'; ++i) {
    anyDigit = true;
    if (whole < 10000) whole = whole * 10 + (degreesText[i] - '0');
  }
  std::int64_t fraction = 0;
  int decimals = 0;
  if (i < degreesText.size() && degreesText[i] == '.') {
    for (++i; i < degreesText.size() && degreesText[i] >= '0' && degreesText[i] <= '9'; ++i) {
      anyDigit = true;
      if (decimals < 6) {
        fraction = fraction * 10 + (degreesText[i] - '0');
        ++decimals;
      }
    }
  }
  if (!anyDigit) return 0;
  for (; decimals < 6; ++decimals) fraction *= 10;
  std::int64_t micro = whole * kMicroDegreesPerDegree + fraction;
  if (micro > std::numeric_limits<std::int32_t>::max()) micro = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(negative ? -micro : micro);
}

}  // namespace quillon
