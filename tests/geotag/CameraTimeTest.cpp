#include "geotag/CameraTime.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "geotag/ClockOffset.h"
#include "platform/NamedZone.h"
#include "tests/support/TimeZoneScope.h"

namespace quillon {
namespace {

// 2008-03-07 14:05:09 as seconds since 1970 of the same clock.
constexpr std::int64_t kMarch7 = 1204898709;

TEST(ClockOffsetTest, ReadsTheThreeFormsAndRefusesTheRest) {
  const std::vector<std::pair<std::string, std::optional<std::int64_t>>> cases = {
      {"90", 90},           {"+90", 90},         {"-90", -90},          {"0", 0},
      {"1:30", 90},         {"-1:30", -90},      {"+01:02:03", 3723},   {"-00:00:07", -7},
      {"100:00", 6000},     {"25:00:00", 90000}, {"", std::nullopt},    {"+", std::nullopt},
      {"1:60", std::nullopt}, {"1:2:60", std::nullopt}, {"1:2:3:4", std::nullopt}, {"1.5", std::nullopt},
      {" 90", std::nullopt}, {"90s", std::nullopt}, {"1::2", std::nullopt}, {"--5", std::nullopt},
      {"999999999999", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseClockOffset(text), expected);
  }
}

TEST(ExifDateTimeTest, ReadsTheCameraClockAndItsFraction) {
  struct Case {
    std::string dateTime, subSeconds;
    std::optional<std::int64_t> seconds;
    double fraction;
  };
  const std::vector<Case> cases = {
      {"2008:03:07 14:05:09", "", kMarch7, 0.0},
      {"2008:03:07 14:05:09", "5", kMarch7, 0.5},
      {"2008:03:07 14:05:09", "047  ", kMarch7, 0.047},
      {std::string("2008:03:07 14:05:09\0", 20), "", kMarch7, 0.0},
      {"2008:03:07 14:05:09  ", "", kMarch7, 0.0},
      {"2000:02:29 00:00:00", "", 951782400, 0.0},
      {"0000:00:00 00:00:00", "", std::nullopt, 0.0},
      {"                   ", "", std::nullopt, 0.0},
      {"2008:02:30 10:00:00", "", std::nullopt, 0.0},
      {"2008:03:07 24:00:00", "", std::nullopt, 0.0},
      {"2008-03-07 14:05:09", "", std::nullopt, 0.0},
      {"2008:03:07T14:05:09", "", std::nullopt, 0.0},
      {"2008:3:7 14:05:09", "", std::nullopt, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dateTime + " / " + c.subSeconds);
    const std::optional<CameraTime> time = ParseExifDateTime(c.dateTime, c.subSeconds);
    ASSERT_EQ(time.has_value(), c.seconds.has_value());
    if (!time) continue;
    EXPECT_EQ(time->clockSeconds, *c.seconds);
    EXPECT_NEAR(time->fraction, c.fraction, 1e-12);
  }
}

TEST(CameraZoneTest, OffsetsAndZoneNamesThatAreUnderstood) {
  const std::vector<std::pair<std::string, std::optional<std::int32_t>>> offsets = {
      {"+02:00", 7200}, {"-05:30", -19800}, {"+14:00", 50400}, {"-00:00", 0},
      {"+2:00", std::nullopt}, {"+02:60", std::nullopt}, {"+15:00", std::nullopt}, {"02:00", std::nullopt},
  };
  for (const auto& [text, seconds] : offsets) {
    SCOPED_TRACE(text);
    EXPECT_EQ(ParseUtcOffset(text), seconds);
  }
  // Each zone text, and where its clock shows kMarch7.
  const std::vector<std::pair<std::string, std::optional<std::int64_t>>> zones = {
      {"UTC", kMarch7},           {"Z", kMarch7},          {"+02:00", kMarch7 - 7200},
      {"-0530", kMarch7 + 19800}, {"+08", kMarch7 - 28800}, {"Mars/Olympus", std::nullopt},
      {"+1", std::nullopt},       {"+15", std::nullopt},
  };
  for (const auto& [text, utc] : zones) {
    SCOPED_TRACE(text);
    const std::optional<CameraZone> zone = CameraZone::Parse(text);
    ASSERT_EQ(zone.has_value(), utc.has_value());
    if (zone) {
      EXPECT_EQ(zone->ToUtcSeconds(kMarch7), utc);
    }
  }
}

struct BerlinCase {
  const char* clock;
  std::int64_t utcSeconds;
  // Whether Windows' zone functions give the same; they leave the hour that
  // happens twice and the one that never happens to rules of their own.
  bool plainHour;
};

// Berlin's clock through a year: winter, summer, the hour that happens twice
// and the one that never happens.
const BerlinCase kBerlin[] = {
    {"2008:03:07 14:05:09", kMarch7 - 3600, true},       // winter, +01:00
    {"2008:07:01 12:00:00", 1214913600 - 7200, true},    // summer, +02:00
    {"2008:10:26 02:30:00", 1224988200 - 7200, false},   // twice: the first, still +02:00
    {"2008:03:30 02:30:00", 1206844200 - 3600, false},   // never shown: the offset before the gap
    {"2008:03:30 03:30:00", 1206847800 - 7200, true},    // just after the change
};

void ExpectBerlin(const CameraZone& zone, bool plainHoursOnly) {
  for (const BerlinCase& c : kBerlin) {
    if (plainHoursOnly && !c.plainHour) continue;
    SCOPED_TRACE(c.clock);
    const std::optional<CameraTime> time = ParseExifDateTime(c.clock);
    ASSERT_TRUE(time);
    EXPECT_EQ(zone.ToUtcSeconds(time->clockSeconds), c.utcSeconds);
  }
}

// The PC's zone with daylight saving taken at the photo's own date.
TEST(CameraZoneTest, ThePcZoneFollowsDaylightSavingAtThePhotosDate) {
  testing::TimeZoneScope berlin("Europe/Berlin");
  ReloadTimeZone();
  ExpectBerlin(CameraZone::Pc(), false);
}

// A zone named on the command line or in the dialog, whatever the PC's zone.
TEST(CameraZoneTest, AZoneByNameFollowsItsOwnDaylightSaving) {
  testing::TimeZoneScope taipei("Asia/Taipei");
  ReloadTimeZone();
#ifdef _WIN32
  const char* name = "W. Europe Standard Time";
#else
  const char* name = "Europe/Berlin";
#endif
  const std::optional<CameraZone> zone = CameraZone::Parse(name);
  if (!zone && !NamedZonesAvailable()) GTEST_SKIP() << "this build knows no zones by name";
  ASSERT_TRUE(zone);
  EXPECT_EQ(zone->Describe(), name);
#ifdef _WIN32
  ExpectBerlin(*zone, true);
#else
  ExpectBerlin(*zone, false);
#endif
  EXPECT_FALSE(CameraZone::Parse("Europe/Atlantis"));
}

}  // namespace
}  // namespace quillon
