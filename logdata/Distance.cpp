#include "logdata/Distance.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "logdata/NumberText.h"

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
  // One pass over the characters: the CSV writer reads two of these texts
  // per row.
  const char* at = degreesText.data();
  const char* const end = at + degreesText.size();
  while (at != end && *at == ' ') ++at;
  if (at != end && (*at == '+' || *at == '-')) {
    if (*at == '-') negative = !negative;
    ++at;
  }
  // Any whole part from 2148 degrees on is beyond the 32-bit range anyway, so
  // the whole degrees are held at 10 000.
  constexpr std::int64_t kWholeCap = 10000;
  std::int64_t whole = 0;
  const char* const wholeStart = at;
  for (; at != end && number_text::IsDigit(*at); ++at) whole = std::min(whole * 10 + (*at - '0'), kWholeCap);
  const bool hasWhole = at != wholeStart;
  // Micro-degrees keep six decimals: further ones are cut, missing ones are 0.
  std::int64_t fraction = 0;
  int decimals = 0;
  if (at != end && *at == '.') {
    for (++at; at != end && number_text::IsDigit(*at); ++at) {
      if (decimals < 6) fraction = fraction * 10 + (*at - '0');
      ++decimals;
    }
  }
  if (!hasWhole && decimals == 0) return 0;
  for (int i = decimals; i < 6; ++i) fraction *= 10;
  std::int64_t micro = whole * kMicroDegreesPerDegree + fraction;
  if (micro > std::numeric_limits<std::int32_t>::max()) micro = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(negative ? -micro : micro);
}

}  // namespace quillon
