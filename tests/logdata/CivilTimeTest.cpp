#include "logdata/CivilTime.h"

#include <gtest/gtest.h>

#include <chrono>

namespace quillon {
namespace {

TEST(CivilTime, AgreesWithTheCLibraryAcrossCenturies) {
  // Every 7919 seconds (a prime, so hours, days and leap days all shift)
  // from 1900 to 2300.
  for (std::int64_t t = -2208988800; t < 10413792000; t += 7919 * 997) {
    SCOPED_TRACE(t);
    // The standard library's calendar, which (unlike gmtime on Windows)
    // reaches before 1970 on every platform.
    const std::chrono::sys_seconds instant{std::chrono::seconds(t)};
    const auto day = std::chrono::floor<std::chrono::days>(instant);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss clock{instant - day};
    CivilTime time = FromEpochSeconds(t);
    EXPECT_EQ(time.year, static_cast<int>(date.year()));
    EXPECT_EQ(time.month, static_cast<int>(static_cast<unsigned>(date.month())));
    EXPECT_EQ(time.day, static_cast<int>(static_cast<unsigned>(date.day())));
    EXPECT_EQ(time.hour, clock.hours().count());
    EXPECT_EQ(time.minute, clock.minutes().count());
    EXPECT_EQ(time.second, clock.seconds().count());
    EXPECT_TRUE(IsValidCivilTime(time));
    EXPECT_EQ(ToEpochSeconds(time), t);
  }
}

struct ValidityCase {
  CivilTime time;
  bool valid;
};

TEST(CivilTime, ValidOnlyForRealInstants) {
  const ValidityCase cases[] = {
      {{2008, 2, 29, 0, 0, 0}, true},    {{2009, 2, 29, 0, 0, 0}, false}, {{2000, 2, 29, 0, 0, 0}, true},
      {{2100, 2, 29, 0, 0, 0}, false},   {{2008, 0, 1, 0, 0, 0}, false},  {{2008, 13, 1, 0, 0, 0}, false},
      {{2008, 4, 31, 0, 0, 0}, false},   {{2008, 12, 31, 23, 59, 59}, true}, {{2008, 1, 0, 0, 0, 0}, false},
      {{2008, 1, 1, 24, 0, 0}, false},   {{2008, 1, 1, 0, 60, 0}, false}, {{2008, 1, 1, 0, 0, 60}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.time.year << "-" << c.time.month << "-" << c.time.day << " "
                                      << c.time.hour << ":" << c.time.minute << ":" << c.time.second);
    EXPECT_EQ(IsValidCivilTime(c.time), c.valid);
  }
}

}  // namespace
}  // namespace quillon
