#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

#include "tests/support/Environment.h"

namespace quillon::testing {

// Sets TZ for the scope of a test and puts the previous value (or its absence)
// back.
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
#else
    ::tzset();
#endif
  }

  std::optional<std::string> previous_;
};

}  // namespace quillon::testing
