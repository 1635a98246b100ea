#pragma once

#include <cstdint>
#include <optional>

#include "core/FixList.h"
#include "core/FixRecord.h"

namespace quillon {

// A position in signed micro-degrees (south and west negative), inside
// -90..90 latitude and -180..180 (180 itself excluded) longitude.
struct GeoPoint {
  std::int32_t latitude = 0;
  std::int32_t longitude = 0;
  friend bool operator==(const GeoPoint&, const GeoPoint&) = default;
};

// The record's position read strictly from its decimal-degree texts and
// hemisphere letters (lower-case 's' and 'w' count as south and west), for
// formats that must never carry an impossible coordinate. Nothing when a
// logged coordinate or its degree text is empty or not plain digits with a
// point, when a degree text has more than six decimals (the degree
// conversion writes seven only for 60 minutes or more), or when the latitude
// passes 90 or the longitude 180 degrees. Longitude 180 is returned as -180,
// the same meridian.
std::optional<GeoPoint> CheckedPosition(const FixRecord& record);

// The record's UTC date and time (years after 2000) as seconds since
// 1970-01-01 00:00 UTC; nothing when they are no calendar instant.
std::optional<std::int64_t> CheckedUtcSeconds(const FixRecord& record);

// The same for the record's local-time fields, as seconds of the local clock.
std::optional<std::int64_t> CheckedLocalSeconds(const FixRecord& record);

// The speed over ground in knots with the decimals of the RMC sentence's text
// (the record itself keeps whole knots only); nothing when the sentence has
// no speed field or its text is not a plain unsigned decimal number.
std::optional<double> RmcSpeedKnots(const FixList& list, const FixRecord& record);

// Metres per second in one knot: 1852 m an hour.
inline constexpr double kMetresPerSecondPerKnot = 1852.0 / 3600.0;

}  // namespace quillon
