#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quillon {

// Kilometres per degree of longitude at whole degrees of latitude 0 to 89:
// floor(111 * cos(i degrees)).
inline constexpr std::array<std::int8_t, 90> kLongitudeFactors = {
    111, 110, 110, 110, 110, 110, 110, 110, 109, 109, 109, 108, 108, 108, 107, 107, 106, 106,
    105, 104, 104, 103, 102, 102, 101, 100, 99,  98,  98,  97,  96,  95,  94,  93,  92,  90,
    89,  88,  87,  86,  85,  83,  82,  81,  79,  78,  77,  75,  74,  72,  71,  69,  68,  66,
    65,  63,  62,  60,  58,  57,  55,  53,  52,  50,  48,  46,  45,  43,  41,  39,  37,  36,
    34,  32,  30,  28,  26,  24,  23,  21,  19,  17,  15,  13,  11,  9,   7,   5,   3,   1};

// The table entry for a latitude in micro-degrees (either sign); 0 from 90
// degrees on.
std::int32_t LongitudeFactor(std::int32_t latitude);

// Flat-earth distance in metres between two fixes given in signed
// micro-degrees (south and west negative). The longitude factor comes from
// the first point's latitude; the longitude difference is taken the short way
// round the globe.
double DistanceMetres(std::int32_t lat1, std::int32_t lon1, std::int32_t lat2, std::int32_t lon2);

// A decimal-degree text such as "25.052056" as micro-degrees, exactly
// (further decimals are cut, missing ones count as 0), negated when
// `negative` (a sign written in the text counts as well). Text that does not
// start with a number reads as 0.
std::int32_t ToSignedMicroDegrees(std::string_view degreesText, bool negative);

}  // namespace quillon
