#include "platform/SystemClock.h"

#include <ctime>

namespace quillon {

#ifdef _WIN32

void ReloadTimeZone() { _tzset(); }

bool UtcOffsetAt(std::int64_t utcSeconds, std::int32_t& offsetSeconds) {
  __time64_t instant = static_cast<__time64_t>(utcSeconds);
  std::tm local{};
  if (_localtime64_s(&local, &instant) != 0) return false;
  // Reading the local calendar time back as if it were UTC gives the instant
  // shifted by the offset.
  __time64_t shifted = _mkgmtime64(&local);
  if (shifted == -1 && instant != -1) return false;
  offsetSeconds = static_cast<std::int32_t>(shifted - instant);
  return true;
}

std::tm LocalCalendarTime(std::time_t instant) {
  std::tm local{};
  if (localtime_s(&local, &instant) != 0) return std::tm{};
  return local;
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
