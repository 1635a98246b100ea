#include <gtest/gtest.h>

#include "orvex/LoggerRecord.h"

namespace quillon::orvex {
namespace {

TEST(LoggerRecordTest, RecordRoundTripsThroughItsBytes) {
  LoggerFix fix;
  fix.utcSeconds = 0xFEDCBA98;
  fix.positionValid = true;
  fix.tag = 999;
  fix.latitude = -53999999;
  fix.longitude = 107999999;
  fix.altitudeDm = -4321;
  fix.speedCentiKnots = 65535;
  fix.courseCentiDegrees = 35999;
  fix.hdopCenti = 9999;
  fix.satellites = 255;
  std::uint8_t bytes[kRecordSize];
  EncodeRecord(fix, bytes);
  EXPECT_EQ(bytes[0], kRecordMarker);
  auto back = DecodeRecord(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, fix);
}

TEST(LoggerRecordTest, ErasedOrDamagedBytesHoldNoRecord) {
  std::uint8_t erased[kRecordSize];
  std::fill(std::begin(erased), std::end(erased), 0xFF);
  EXPECT_FALSE(DecodeRecord(erased).has_value());

  std::uint8_t bytes[kRecordSize];
  EncodeRecord(LoggerFix{}, bytes);
  bytes[9] ^= 0x10;
  EXPECT_FALSE(DecodeRecord(bytes).has_value());
}

TEST(LoggerRecordTest, MemoryHoldsAWholeNumberOfRecords) {
  EXPECT_EQ(kMemoryBytes % kRecordSize, 0u);
  EXPECT_EQ(kRecordCapacity, 124928u);
}

TEST(LoggerRecordTest, CalendarConversionBothWays) {
  struct Case {
    UtcDateTime when;
    std::uint32_t seconds;
  } cases[] = {
      {{2000, 1, 1, 0, 0, 0}, 0},
      {{2000, 3, 1, 0, 0, 0}, 60 * 86400},  // 2000 is a leap year
      {{2008, 12, 31, 23, 59, 59}, 284083199},
      {{2009, 1, 1, 0, 0, 0}, 284083200},
      {{2038, 1, 19, 3, 14, 8}, 2147483648u - 946684800u},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(ToSecondsSince2000(c.when), c.seconds);
    UtcDateTime back = ToUtcDateTime(c.seconds);
    EXPECT_EQ(back.year, c.when.year);
    EXPECT_EQ(back.month, c.when.month);
    EXPECT_EQ(back.day, c.when.day);
    EXPECT_EQ(back.hour, c.when.hour);
    EXPECT_EQ(back.minute, c.when.minute);
    EXPECT_EQ(back.second, c.when.second);
  }
}

TEST(LoggerRecordTest, ImpossibleDatesAreRefused) {
  const UtcDateTime cases[] = {{2009, 2, 29, 0, 0, 0}, {2008, 4, 31, 0, 0, 0}, {1999, 12, 31, 0, 0, 0},
                               {2008, 13, 1, 0, 0, 0}, {2008, 0, 1, 0, 0, 0},  {2008, 1, 1, 24, 0, 0}};
  for (const auto& when : cases) {
    SCOPED_TRACE(std::to_string(when.year) + "-" + std::to_string(when.month) + "-" + std::to_string(when.day));
    EXPECT_FALSE(ToSecondsSince2000(when).has_value());
  }
  EXPECT_TRUE(ToSecondsSince2000({2008, 2, 29, 0, 0, 0}).has_value());
}

TEST(LoggerRecordTest, SettingsRoundTripAndRejectWrongSizes) {
  LoggerSettings settings;
  settings.timeInterval = -1;
  settings.distanceInterval = 3000;
  settings.userPoints[159] = 0x5A;
  settings.timeZone = -12;
  auto bytes = EncodeSettings(settings);
  ASSERT_EQ(bytes.size(), kSettingsPayloadSize);
  EXPECT_EQ(DecodeSettings(bytes.data(), bytes.size()), settings);
  EXPECT_FALSE(DecodeSettings(bytes.data(), bytes.size() - 1).has_value());
}

}  // namespace
}  // namespace quillon::orvex
