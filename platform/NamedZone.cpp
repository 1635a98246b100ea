#include "platform/NamedZone.h"

#if defined(_WIN32)
#include <windows.h>

#include <map>
#include <mutex>

#include "platform/Utf8Path.h"
#elif defined(QUILLON_HAVE_DATE_TZ)
#include <chrono>
#include <stdexcept>

#include <date/tz.h>
#endif

namespace quillon {

#if defined(_WIN32)

namespace {

// EnumDynamicTimeZoneInformation came with Windows 8 and is missing from the
// 32-bit import library of the cross compiler: it is looked up in
// advapi32.dll when first needed, and without it no zone has a name.
using EnumZones = DWORD(WINAPI*)(DWORD, PDYNAMIC_TIME_ZONE_INFORMATION);

EnumZones ZoneEnumerator() {
  static const EnumZones enumerate = [] {
    HMODULE advapi = GetModuleHandleW(L"advapi32.dll");
    if (!advapi) advapi = LoadLibraryExW(L"advapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return advapi ? reinterpret_cast<EnumZones>(reinterpret_cast<void (*)()>(
                        GetProcAddress(advapi, "EnumDynamicTimeZoneInformation")))
                  : nullptr;
  }();
  return enumerate;
}

// The zone's rules, found by its key name among the system's zones. The
// search reads the registry zone by zone, so each name is looked up once.
std::optional<DYNAMIC_TIME_ZONE_INFORMATION> FindZone(const std::string& name) {
  static std::mutex mutex;
  static std::map<std::string, std::optional<DYNAMIC_TIME_ZONE_INFORMATION>> found;
  const std::lock_guard<std::mutex> lock(mutex);
  if (const auto known = found.find(name); known != found.end()) return known->second;
  const std::wstring wanted = Utf8Path(name).native();
  std::optional<DYNAMIC_TIME_ZONE_INFORMATION> result;
  DYNAMIC_TIME_ZONE_INFORMATION zone{};
  const EnumZones enumerate = ZoneEnumerator();
  for (DWORD index = 0; enumerate && enumerate(index, &zone) == ERROR_SUCCESS; ++index) {
    if (_wcsicmp(zone.TimeZoneKeyName, wanted.c_str()) == 0) {
      result = zone;
      break;
    }
  }
  found.emplace(name, result);
  return result;
}

// Seconds since 1970 and Windows' 100-nanosecond steps since 1601.
constexpr std::int64_t kUnixEpochIn1601Steps = 116444736000000000LL;
constexpr std::int64_t kStepsPerSecond = 10000000LL;

bool SystemTimeOf(std::int64_t seconds, SYSTEMTIME& time) {
  const std::int64_t steps = seconds * kStepsPerSecond + kUnixEpochIn1601Steps;
  FILETIME file{static_cast<DWORD>(steps & 0xFFFFFFFF), static_cast<DWORD>(steps >> 32)};
  return FileTimeToSystemTime(&file, &time) != 0;
}

std::optional<std::int64_t> SecondsOf(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!SystemTimeToFileTime(&time, &file)) return std::nullopt;
  const std::int64_t steps = (static_cast<std::int64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
  return (steps - kUnixEpochIn1601Steps) / kStepsPerSecond;
}

}  // namespace

bool NamedZonesAvailable() { return ZoneEnumerator() != nullptr; }

bool NamedZoneExists(const std::string& name) { return FindZone(name).has_value(); }

std::optional<std::int64_t> NamedZoneToUtc(const std::string& name, std::int64_t wallSeconds) {
  const std::optional<DYNAMIC_TIME_ZONE_INFORMATION> zone = FindZone(name);
  SYSTEMTIME wall{};
  if (!zone || wallSeconds < 0 || !SystemTimeOf(wallSeconds, wall)) return std::nullopt;
  // The zone's rules of that year, then the conversion with them (the
  // dynamic-zone form of the conversion is missing from Wine).
  DYNAMIC_TIME_ZONE_INFORMATION dynamic = *zone;
  TIME_ZONE_INFORMATION rules{};
  SYSTEMTIME utc{};
  if (!GetTimeZoneInformationForYear(wall.wYear, &dynamic, &rules) ||
      !TzSpecificLocalTimeToSystemTime(&rules, &wall, &utc)) {
    return std::nullopt;
  }
  return SecondsOf(utc);
}

#elif defined(QUILLON_HAVE_DATE_TZ)

namespace {

const date::time_zone* FindZone(const std::string& name) {
  try {
    return date::locate_zone(name);
  } catch (const std::exception&) {
    return nullptr;
  }
}

}  // namespace

bool NamedZonesAvailable() { return true; }

bool NamedZoneExists(const std::string& name) { return FindZone(name) != nullptr; }

std::optional<std::int64_t> NamedZoneToUtc(const std::string& name, std::int64_t wallSeconds) {
  const date::time_zone* zone = FindZone(name);
  if (zone == nullptr) return std::nullopt;
  const date::local_seconds wall{std::chrono::seconds{wallSeconds}};
  try {
    const date::local_info info = zone->get_info(wall);
    // In a repeated hour `first` is the earlier offset; in a skipped one it
    // is the offset before the gap.
    return wallSeconds - info.first.offset.count();
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

#else

bool NamedZonesAvailable() { return false; }
bool NamedZoneExists(const std::string&) { return false; }
std::optional<std::int64_t> NamedZoneToUtc(const std::string&, std::int64_t) { return std::nullopt; }

#endif

}  // namespace quillon
