#include "logdata/Distance.h"

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
  number_text::SkipBlanks(degreesText, number_text::kSpace);
  if (number_text::TakeSign(degreesText)) negative = !negative;
  const std::string_view wholeDigits = number_text::TakeDigits(degreesText);
  std::string_view fractionDigits;
  if (!degreesText.empty() && degreesText.front() == '.') {
    degreesText.remove_prefix(1);
    fractionDigits = number_text::TakeDigits(degreesText);
  }
  if (wholeDigits.empty() && fractionDigits.empty()) return 0;
  // Micro-degrees keep six decimals: further ones are cut, missing ones are 0.
  std::int64_t fraction = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    fraction = fraction * 10 + (i < fractionDigits.size() ? fractionDigits[i] - '0' : 0);
  }
  // Any whole part from 2148 degrees on is beyond the 32-bit range anyway.
  const auto whole = static_cast<std::int64_t>(number_text::DigitsValue(wholeDigits, 10000));
  std::int64_t micro = whole * kMicroDegreesPerDegree + fraction;
  if (micro > std::numeric_limits<std::int32_t>::max()) micro = std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(negative ? -micro : micro);
}

}  // namespace quillon
