#include "platform/SystemClock.h"

#include <ctime>

#ifdef _WIN32
#include <windows.h>

#include <iterator>
#include <mutex>
#endif

namespace quillon {

#ifdef _WIN32

// The C runtime understands only POSIX-style TZ strings and otherwise falls
// back to UTC; Windows' own zone (which Wine takes from the TZ of its process)
// knows the daylight saving rules of each year, including the years whose
// rules differ from today's ("Dynamic DST" in the registry).
namespace {

constexpr std::int64_t kFileTimeTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 (FILETIME's epoch) to 1970-01-01.
constexpr std::int64_t kFileTimeEpochOffset = 11'644'473'600;

// The zone the conversions use: the PC's setting as last read, or the one a
// caller chose by its registry key name.
struct ZoneState {
  std::mutex mutex;
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  bool valid = false;
  bool chosen = false;
};

ZoneState& State() {
  static ZoneState* state = [] {
    auto* created = new ZoneState;
    created->valid = ::GetDynamicTimeZoneInformation(&created->zone) != TIME_ZONE_ID_INVALID;
    return created;
  }();
  return *state;
}

// A copy of the zone in use; false when none could be read, in which case
// the conversions fall back to the PC's current zone.
bool CurrentZone(DYNAMIC_TIME_ZONE_INFORMATION& zone) {
  ZoneState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  zone = state.zone;
  return state.valid;
}

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
  // The rules of the instant's own year; SystemTimeToTzSpecificLocalTimeEx
  // would do the same but is missing before Windows 7 and in Wine.
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  TIME_ZONE_INFORMATION rules{};
  if (CurrentZone(zone) && ::GetTimeZoneInformationForYear(utc.wYear, &zone, &rules)) {
    return ::SystemTimeToTzSpecificLocalTime(&rules, &utc, &local) != 0;
  }
  return ::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local) != 0;
}

// The standard-time offset (east positive, seconds) of the zone in `year`.
bool StandardOffsetIn(WORD year, std::int32_t& offsetSeconds) {
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  TIME_ZONE_INFORMATION rules{};
  if (CurrentZone(zone)) {
    if (!::GetTimeZoneInformationForYear(year, &zone, &rules)) return false;
  } else if (::GetTimeZoneInformation(&rules) == TIME_ZONE_ID_INVALID) {
    return false;
  }
  offsetSeconds = -(rules.Bias + rules.StandardBias) * 60;
  return true;
}

// A registry string value of one zone's key, or empty.
std::wstring ZoneText(HKEY key, const wchar_t* name) {
  wchar_t text[64] = {};
  DWORD size = sizeof text - sizeof text[0];
  if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) return {};
  return text;
}

}  // namespace

void ReloadTimeZone() {
  ZoneState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  if (!state.chosen) state.valid = ::GetDynamicTimeZoneInformation(&state.zone) != TIME_ZONE_ID_INVALID;
}

bool UseTimeZone(const std::wstring& keyName) {
  // The registry's form of a zone's rules (REG_TZI_FORMAT).
  struct {
    LONG bias;
    LONG standardBias;
    LONG daylightBias;
    SYSTEMTIME standardDate;
    SYSTEMTIME daylightDate;
  } rules{};
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  if (keyName.empty() || keyName.size() >= sizeof zone.TimeZoneKeyName / sizeof(wchar_t)) return false;
  const std::wstring path = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\" + keyName;
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  DWORD size = sizeof rules;
  const bool read =
      ::RegGetValueW(key, nullptr, L"TZI", RRF_RT_REG_BINARY, nullptr, &rules, &size) == ERROR_SUCCESS &&
      size == sizeof rules;
  const std::wstring standardName = ZoneText(key, L"Std");
  const std::wstring daylightName = ZoneText(key, L"Dlt");
  ::RegCloseKey(key);
  if (!read) return false;
  zone.Bias = rules.bias;
  zone.StandardBias = rules.standardBias;
  zone.DaylightBias = rules.daylightBias;
  zone.StandardDate = rules.standardDate;
  zone.DaylightDate = rules.daylightDate;
  standardName.copy(zone.StandardName, std::size(zone.StandardName) - 1);
  daylightName.copy(zone.DaylightName, std::size(zone.DaylightName) - 1);
  keyName.copy(zone.TimeZoneKeyName, std::size(zone.TimeZoneKeyName) - 1);
  ZoneState& state = State();
  std::lock_guard<std::mutex> lock(state.mutex);
  state.zone = zone;
  state.valid = true;
  state.chosen = true;
  return true;
}

void UseSystemTimeZone() {
  {
    ZoneState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    state.chosen = false;
  }
  ReloadTimeZone();
}

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
  const WORD year = local.wYear;
  // Day of the year from the days between 1 January and this date.
  SYSTEMTIME newYear{};
  newYear.wYear = year;
  newYear.wMonth = 1;
  newYear.wDay = 1;
  local.wHour = local.wMinute = local.wSecond = local.wMilliseconds = 0;
  calendar.tm_yday = static_cast<int>((SecondsOf(local) - SecondsOf(newYear)) / 86'400);
  std::int32_t offset = 0;
  std::int32_t standard = 0;
  calendar.tm_isdst = UtcOffsetAt(instant, offset) && StandardOffsetIn(year, standard) && offset != standard;
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
