#include "logdata/CivilTime.h"

#include <gtest/gtest.h>

#include <ctime>

namespace quillon {
namespace {

TEST(CivilTime, AgreesWithTheCLibraryAcrossCenturies) {
  // Every 7919 seconds (a prime, so hours, days and leap days all shift)
  // from 1900 to 2300.
  for (std::int64_t t = -2208988800; t < 10413792000; t += 7919 * 997) {
    SCOPED_TRACE(t);
    std::time_t instant = static_cast<std::time_t>(t);
    std::tm utc{};
    ASSERT_TRUE(gmtime_r(&instant, &utc));
    CivilTime time = FromEpochSeconds(t);
    EXPECT_EQ(time.year, utc.tm_year + 1900);
    EXPECT_EQ(time.month, utc.tm_mon + 1);
    EXPECT_EQ(time.day, utc.tm_mday);
    EXPECT_EQ(time.hour, utc.tm_hour);
    EXPECT_EQ(time.minute, utc.tm_min);
    EXPECT_EQ(time.second, utc.tm_sec);
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
