#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon {

// Time zones by name, whatever zone the PC itself is in: IANA names
// ("Europe/Berlin") from the system's time-zone database on Linux, Windows'
// own zone names ("W. Europe Standard Time") on Windows.

// Whether this build knows zones by name at all.
bool NamedZonesAvailable();

// Whether `name` is a zone the system knows.
bool NamedZoneExists(const std::string& name);

// The UTC instant (seconds since 1970) at which the clocks of the zone
// showed `wallSeconds` (their wall-clock time, as seconds since 1970-01-01
// 00:00). Where a change of offset makes that time occur twice, the earlier
// instant; where it skips it, the offset in force before the gap. Nothing for
// an unknown zone.
std::optional<std::int64_t> NamedZoneToUtc(const std::string& name, std::int64_t wallSeconds);

}  // namespace quillon
