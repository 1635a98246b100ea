#pragma once

#include <cstdint>
#include <ctime>
#ifdef _WIN32
#include <string>
#endif

namespace quillon {

// Re-reads the PC's time-zone setting (the process's TZ on POSIX systems), so
// that a change made since the last call takes effect.
void ReloadTimeZone();

#ifdef _WIN32
// Converts with the Windows time zone of this registry key name (as listed
// under HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Time Zones, for
// example "W. Europe Standard Time") instead of the PC's setting, until
// UseSystemTimeZone(). False, and nothing changed, when there is no such zone.
bool UseTimeZone(const std::wstring& keyName);
void UseSystemTimeZone();
#endif

// The offset of the PC's local time from UTC, in seconds (east positive), in
// force at the instant `utcSeconds` (seconds since 1970-01-01 00:00 UTC),
// daylight saving included. False when the platform cannot convert the
// instant.
bool UtcOffsetAt(std::int64_t utcSeconds, std::int32_t& offsetSeconds);

// The PC's local calendar time at `instant`, daylight saving included; all
// fields zero when the platform cannot convert the instant. Safe to call from
// any thread, unlike std::localtime.
std::tm LocalCalendarTime(std::time_t instant);

}  // namespace quillon
