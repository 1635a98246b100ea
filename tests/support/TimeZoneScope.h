#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

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
      ::setenv("TZ", zone, 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }

  std::optional<std::string> previous_;
};

}  // namespace quillon::testing
