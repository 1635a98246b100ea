#include "logdata/LocalTime.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/SystemClock.h"
#include "tests/logdata/LogdataTestSupport.h"

namespace quillon {
namespace {

using testing::TimeZoneScope;

// Year (full), month, day, hour, minute, second.
struct Stamp {
  int year, month, day, hour, minute, second;
};

FixRecord RecordAt(const Stamp& utc) {
  FixRecord r;
  r.utcYear = static_cast<std::uint8_t>(utc.year - 2000);
  r.utcMonth = static_cast<std::uint8_t>(utc.month);
  r.utcDay = static_cast<std::uint8_t>(utc.day);
  r.utcHour = static_cast<std::uint8_t>(utc.hour);
  r.utcMinute = static_cast<std::uint8_t>(utc.minute);
  r.utcSecond = static_cast<std::uint8_t>(utc.second);
  return r;
}

std::string LocalOf(const FixRecord& r) {
  char text[40];
  std::snprintf(text, sizeof text, "%d-%02d-%02d %02d:%02d:%02d", 2000 + r.localYear, r.localMonth, r.localDay,
                r.localHour, r.localMinute, r.localSecond);
  return text;
}

struct ZoneCase {
  const char* zone;
  Stamp utc;
  const char* local;
};

TEST(ComputeLocalTimes, UsesTheOffsetInForceAtEachFix) {
  const ZoneCase cases[] = {
      {"Asia/Taipei", {2008, 12, 31, 23, 30, 0}, "2009-01-01 07:30:00"},
      {"Asia/Taipei", {2008, 7, 15, 12, 0, 0}, "2008-07-15 20:00:00"},
      {"Asia/Taipei", {2008, 3, 1, 15, 59, 59}, "2008-03-01 23:59:59"},
      {"UTC", {2008, 12, 31, 23, 30, 0}, "2008-12-31 23:30:00"},
      {"UTC", {2008, 2, 29, 0, 0, 0}, "2008-02-29 00:00:00"},
      {"Europe/Berlin", {2008, 1, 15, 12, 0, 0}, "2008-01-15 13:00:00"},
      {"Europe/Berlin", {2008, 7, 15, 12, 0, 0}, "2008-07-15 14:00:00"},
      {"Europe/Berlin", {2008, 3, 30, 0, 59, 59}, "2008-03-30 01:59:59"},
      {"Europe/Berlin", {2008, 3, 30, 1, 0, 0}, "2008-03-30 03:00:00"},
      {"Europe/Berlin", {2008, 10, 26, 0, 59, 59}, "2008-10-26 02:59:59"},
      {"Europe/Berlin", {2008, 10, 26, 1, 0, 0}, "2008-10-26 02:00:00"},
      {"Europe/Berlin", {2008, 12, 31, 23, 30, 0}, "2009-01-01 00:30:00"},
      // A change of offset in the middle of an hour.
      {"Australia/Lord_Howe", {2008, 10, 4, 15, 29, 59}, "2008-10-05 01:59:59"},
      {"Australia/Lord_Howe", {2008, 10, 4, 15, 30, 0}, "2008-10-05 02:30:00"},
      {"Australia/Lord_Howe", {2008, 10, 4, 15, 0, 0}, "2008-10-05 01:30:00"},
      {"America/New_York", {2008, 11, 2, 5, 59, 59}, "2008-11-02 01:59:59"},
      {"America/New_York", {2008, 11, 2, 6, 0, 0}, "2008-11-02 01:00:00"},
  };
  for (const auto& c : cases) {
    std::string description = std::string(c.zone) + " " + std::to_string(c.utc.year) + "-" +
                              std::to_string(c.utc.month) + "-" + std::to_string(c.utc.day) + " " +
                              std::to_string(c.utc.hour) + ":" + std::to_string(c.utc.minute) + ":" +
                              std::to_string(c.utc.second);
    SCOPED_TRACE(description);
    TimeZoneScope zone(c.zone);
    FixList list;
    list.Append(RecordAt(c.utc));
    ComputeLocalTimes(list);
    EXPECT_EQ(LocalOf(list[0]), c.local);
  }
}

TEST(ComputeLocalTimes, OneLogAcrossADaylightSavingChangeKeepsEachFixsOwnOffset) {
  TimeZoneScope zone("Europe/Berlin");
  FixList list;
  const Stamp fixes[] = {{2008, 3, 30, 0, 59, 58}, {2008, 3, 30, 0, 59, 59}, {2008, 3, 30, 1, 0, 0},
                         {2008, 3, 30, 1, 0, 1},   {2008, 7, 1, 10, 0, 0},   {2008, 11, 1, 10, 0, 0}};
  for (const auto& f : fixes) list.Append(RecordAt(f));
  ComputeLocalTimes(list);
  EXPECT_EQ(LocalOf(list[0]), "2008-03-30 01:59:58");
  EXPECT_EQ(LocalOf(list[1]), "2008-03-30 01:59:59");
  EXPECT_EQ(LocalOf(list[2]), "2008-03-30 03:00:00");
  EXPECT_EQ(LocalOf(list[3]), "2008-03-30 03:00:01");
  EXPECT_EQ(LocalOf(list[4]), "2008-07-01 12:00:00");
  EXPECT_EQ(LocalOf(list[5]), "2008-11-01 11:00:00");
}

TEST(ComputeLocalTimes, InvalidUtcTimesLeaveTheLocalFieldsAlone) {
  TimeZoneScope zone("Asia/Taipei");
  const Stamp invalid[] = {{2000, 0, 0, 0, 0, 0},  {2009, 2, 29, 1, 0, 0}, {2008, 4, 31, 1, 0, 0},
                           {2008, 1, 1, 24, 0, 0}, {2008, 1, 1, 0, 60, 0}, {2008, 1, 1, 0, 0, 60}};
  for (const auto& s : invalid) {
    SCOPED_TRACE(::testing::Message() << s.year << "-" << s.month << "-" << s.day << " " << s.hour << ":" << s.minute
                                      << ":" << s.second);
    FixList list;
    FixRecord r = RecordAt(s);
    r.localYear = 77;
    r.localMonth = 66;
    r.localSecond = 55;
    list.Append(r);
    ComputeLocalTimes(list);
    EXPECT_EQ(list[0].localYear, 77);
    EXPECT_EQ(list[0].localMonth, 66);
    EXPECT_EQ(list[0].localDay, 0);
    EXPECT_EQ(list[0].localSecond, 55);
  }
}

TEST(ComputeLocalTimes, LocalYearCountsFrom2000BothWays) {
  TimeZoneScope zone("America/New_York");
  FixList list;
  list.Append(RecordAt({2000, 1, 1, 0, 30, 0}));
  list.Append(RecordAt({2255, 6, 1, 12, 0, 0}));
  ComputeLocalTimes(list);
  EXPECT_EQ(list[0].localYear, -1);  // 1999
  EXPECT_EQ(list[0].localMonth, 12);
  EXPECT_EQ(list[0].localDay, 31);
  EXPECT_EQ(list[0].localHour, 19);
  EXPECT_EQ(list[1].localYear, 255);  // 2255
  EXPECT_EQ(list[1].localHour, 8);
}

TEST(ComputeLocalTimes, FollowsAChangeOfTimeZoneAtTheNextRun) {
  FixList list;
  list.Append(RecordAt({2008, 1, 1, 0, 0, 0}));
  {
    TimeZoneScope zone("Asia/Taipei");
    ComputeLocalTimes(list);
    EXPECT_EQ(list[0].localHour, 8);
  }
  {
    TimeZoneScope zone("UTC");
    ComputeLocalTimes(list);
    EXPECT_EQ(list[0].localHour, 0);
  }
}

TEST(UtcOffsetAt, ReportsTheZonesOffset) {
  struct OffsetCase {
    const char* zone;
    std::int64_t instant;
    std::int32_t offset;
  };
  const OffsetCase cases[] = {{"UTC", 1200000000, 0},
                              {"Asia/Taipei", 1200000000, 8 * 3600},
                              {"Europe/Berlin", 1200000000, 3600},   // January 2008
                              {"Europe/Berlin", 1215000000, 7200},   // July 2008
                              {"America/New_York", 1215000000, -4 * 3600}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.zone << " " << c.instant);
    TimeZoneScope zone(c.zone);
    std::int32_t offset = 12345;
    ASSERT_TRUE(UtcOffsetAt(c.instant, offset));
    EXPECT_EQ(offset, c.offset);
  }
}

}  // namespace
}  // namespace quillon
