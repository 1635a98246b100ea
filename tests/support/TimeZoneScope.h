#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "platform/SystemClock.h"
#include "tests/support/Environment.h"

namespace quillon::testing {

// Sets the time zone for the scope of a test and puts the previous one back.
// On POSIX systems that is TZ; Windows (and Wine) read their zone once per
// process, so there the scope also chooses the Windows zone of the same
// rules by its registry name. TZ is set on both, for the programs a test
// starts.
class TimeZoneScope {
 public:
  explicit TimeZoneScope(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    Set(zone);
  }
  ~TimeZoneScope() { Set(previous_ ? previous_->c_str() : nullptr); }
  TimeZoneScope(const TimeZoneScope&) = delete;
  TimeZoneScope& operator=(const TimeZoneScope&) = delete;

 private:
  static void Set(const char* zone) {
    if (zone) {
      SetEnvironment("TZ", zone);
    } else {
      UnsetEnvironment("TZ");
    }
#ifdef _WIN32
    ::_tzset();
    if (!zone) {
      UseSystemTimeZone();
    } else if (!UseTimeZone(WindowsZoneOf(zone))) {
      ADD_FAILURE() << "no Windows time zone for " << zone;
    }
#else
    ::tzset();
#endif
  }

#ifdef _WIN32
  // The Windows zones of the zone names the tests use.
  static std::wstring WindowsZoneOf(const std::string& zone) {
    static const struct {
      const char* name;
      const wchar_t* windows;
    } kZones[] = {{"UTC", L"UTC"},
                  {"Asia/Taipei", L"Taipei Standard Time"},
                  {"Europe/Berlin", L"W. Europe Standard Time"},
                  {"America/New_York", L"Eastern Standard Time"},
                  {"Australia/Lord_Howe", L"Lord Howe Standard Time"},
                  {"America/St_Johns", L"Newfoundland Standard Time"}};
    for (const auto& z : kZones) {
      if (zone == z.name) return z.windows;
    }
    return {};
  }
#endif

  std::optional<std::string> previous_;
};

}  // namespace quillon::testing
