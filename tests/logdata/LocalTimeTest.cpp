#include "logdata/LocalTime.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "logdata/CivilTime.h"

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

// A long log reuses what it worked out for the fixes before; every fix still
// gets the local time it gets alone: runs of seconds to minutes around
// midnight and offset changes, then jumps between days.
TEST(ComputeLocalTimes, EachFixOfALongLogGetsTheTimeItGetsAlone) {
  std::mt19937 random(11);
  for (const char* zoneName : {"Europe/Berlin", "Australia/Lord_Howe", "America/St_Johns"}) {
    TimeZoneScope zone(zoneName);
    FixList fixes;
    // From 20:00 UTC two days before the changes of 2008 and the new year.
    for (const std::int64_t first : {1206648000, 1222977600, 1224878400, 1230667200}) {
      for (std::int64_t t = first; t < first + 3 * 86400 + 200 * 600; t += 1 + random() % 600) {
        const CivilTime c =
            FromEpochSeconds(t < first + 3 * 86400 ? t : first + static_cast<std::int64_t>(random() % (4 * 86400)));
        fixes.Append(RecordAt({static_cast<int>(c.year), c.month, c.day, c.hour, c.minute, c.second}));
      }
    }
    ComputeLocalTimes(fixes);
    for (std::size_t i = 0; i < fixes.Size(); ++i) {
      FixList alone;
      alone.Append(fixes[i]);
      ComputeLocalTimes(alone);
      ASSERT_EQ(LocalOf(fixes[i]), LocalOf(alone[0])) << zoneName << ", fix " << i;
    }
  }
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
