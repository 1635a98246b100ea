#include "platform/SystemClock.h"

#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

namespace quillon {

#ifdef _WIN32

// The C runtime understands only POSIX-style TZ strings and otherwise falls
// back to UTC; Windows' own zone (which Wine takes from the TZ of its process)
// knows the daylight saving rules of each year.
namespace {

constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 (FILETIME's epoch) to 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 11'644'473'600;

bool ToSystemTime(std::int64_t utcSeconds, SYSTEMTIME& time) {
  const std::int64_t ticks = (utcSeconds + kFileTimeEpochOffset) * kFileTimeTicksPerSecond;
  if (utcSeconds < -kFileTimeEpochOffset || ticks < 0) return false;
  ULARGE_INTEGER value;
  value.QuadPart = static_cast<ULONGLONG>(ticks);
  FILETIME file{value.LowPart, value.HighPart};
  return ::FileTimeToSystemTime(&file, &time) != 0;
}

std::int64_t SecondsOf(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!::SystemTimeToFileTime(&time, &file)) return 0;
  ULARGE_INTEGER value;
  value.LowPart = file.dwLowDateTime;
  value.HighPart = file.dwHighDateTime;
  return static_cast<std::int64_t>(value.QuadPart / kFileTimeTicksPerSecond) - kFileTimeEpochOffset;
}

// The local wall-clock time at utcSeconds, as a SYSTEMTIME.
bool LocalSystemTime(std::int64_t utcSeconds, SYSTEMTIME& local) {
  SYSTEMTIME utc{};
  if (!ToSystemTime(utcSeconds, utc)) return false;
  return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) != 0;
}

}  // namespace

void ReloadTimeZone() { _tzset(); }

bool UtcOffsetAt(std::int64_t utcSeconds, std::int32_t& offsetSeconds) {
  SYSTEMTIME local{};
  if (!LocalSystemTime(utcSeconds, local)) return false;
  offsetSeconds = static_cast<std::int32_t>(SecondsOf(local) - utcSeconds);
  return true;
}

std::tm LocalCalendarTime(std::time_t instant) {
  SYSTEMTIME local{};
  if (!LocalSystemTime(static_cast<std::int64_t>(instant), local)) return std::tm{};
  std::tm calendar{};
  calendar.tm_year = local.wYear - 1900;
  calendar.tm_mon = local.wMonth - 1;
  calendar.tm_mday = local.wDay;
  calendar.tm_hour = local.wHour;
  calendar.tm_min = local.wMinute;
  calendar.tm_sec = local.wSecond;
  calendar.tm_wday = local.wDayOfWeek;
  // Day of the year from the days between 1 January and this date.
  SYSTEMTIME newYear{};
  newYear.wYear = local.wYear;
  newYear.wMonth = 1;
  newYear.wDay = 1;
  local.wHour = local.wMinute = local.wSecond = local.wMilliseconds = 0;
  calendar.tm_yday = static_cast<int>((SecondsOf(local) - SecondsOf(newYear)) / 86'400);
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = ::GetTimeZoneInformation(&zone);
  std::int32_t offset = 0;
  calendar.tm_isdst = kind != TIME_ZONE_ID_INVALID && UtcOffsetAt(instant, offset) && offset != -zone.Bias * 60;
  return calendar;
}

#else

void ReloadTimeZone() { tzset(); }

bool UtcOffsetAt(std::int64_t utcSeconds, std::int32_t& offsetSeconds) {
  std::time_t instant = static_cast<std::time_t>(utcSeconds);
  if (static_cast<std::int64_t>(instant) != utcSeconds) return false;
  std::tm local{};
  if (!localtime_r(&instant, &local)) return false;
  offsetSeconds = static_cast<std::int32_t>(local.tm_gmtoff);
  return true;
}

std::tm LocalCalendarTime(std::time_t instant) {
  std::tm local{};
  if (!localtime_r(&instant, &local)) return std::tm{};
  return local;
}

#endif

}  // namespace quillon
