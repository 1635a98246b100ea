#include "logdata/LocalTime.h"

#include <limits>

#include "logdata/CivilTime.h"
#include "platform/SystemClock.h"

namespace quillon {

namespace {

// Asking the platform for the offset of every fix costs more than the rest of
// the reload together; consecutive fixes almost always share an hour. An hour
// whose first and last second have the same offset is taken to have it
// throughout (no zone changes its offset twice within one hour); an hour in
// which the offset changes is asked fix by fix.
class UtcOffsetCache {
 public:
  bool OffsetAt(std::int64_t utcSeconds, std::int32_t& offset) {
    std::int64_t hour = utcSeconds / 3600 - (utcSeconds % 3600 < 0 ? 1 : 0);
    if (hour != cachedHour_) {
      cachedHour_ = hour;
      std::int32_t atEnd = 0;
      uniform_ = UtcOffsetAt(hour * 3600, hourOffset_) && UtcOffsetAt(hour * 3600 + 3599, atEnd) &&
                 atEnd == hourOffset_;
    }
    if (uniform_) {
      offset = hourOffset_;
      return true;
    }
    return UtcOffsetAt(utcSeconds, offset);
  }

 private:
  std::int64_t cachedHour_ = std::numeric_limits<std::int64_t>::min();
  std::int32_t hourOffset_ = 0;
  bool uniform_ = false;
};

// Consecutive fixes almost always fall on one day: the calendar arithmetic
// is done once per day, each fix's time of day is plain division.
class DayCache {
 public:
  std::int64_t ToSeconds(const CivilTime& time) {
    if (time.year != utcDate_.year || time.month != utcDate_.month || time.day != utcDate_.day) {
      utcDate_ = CivilTime{time.year, time.month, time.day, 0, 0, 0};
      utcMidnight_ = ToEpochSeconds(utcDate_);
    }
    return utcMidnight_ + time.hour * 3600 + time.minute * 60 + time.second;
  }

  CivilTime FromSeconds(std::int64_t seconds) {
    const std::int64_t day = seconds / kSecondsPerDay - (seconds % kSecondsPerDay < 0 ? 1 : 0);
    if (day != localDay_) {
      localDay_ = day;
      localDate_ = FromEpochSeconds(day * kSecondsPerDay);
    }
    const auto secondOfDay = static_cast<int>(seconds - day * kSecondsPerDay);
    CivilTime time = localDate_;
    time.hour = secondOfDay / 3600;
    time.minute = secondOfDay / 60 % 60;
    time.second = secondOfDay % 60;
    return time;
  }

 private:
  static constexpr std::int64_t kSecondsPerDay = 86400;
  CivilTime utcDate_;  // month 0: no date yet
  std::int64_t utcMidnight_ = 0;
  std::int64_t localDay_ = std::numeric_limits<std::int64_t>::min();
  CivilTime localDate_;
};

}  // namespace

void ComputeLocalTimes(FixList& fixList) {
  ReloadTimeZone();
  RecordBlock& records = fixList.Records();
  FillLocalTimes(records.begin(), records.end());
}

void FillLocalTimes(FixRecord* begin, FixRecord* end) {
  UtcOffsetCache offsets;
  DayCache days;
  for (FixRecord* at = begin; at != end; ++at) {
    FixRecord& record = *at;
    CivilTime utc{2000 + std::int64_t{record.utcYear}, record.utcMonth, record.utcDay,
                  record.utcHour,        record.utcMinute, record.utcSecond};
    if (!IsValidCivilTime(utc)) continue;
    std::int64_t instant = days.ToSeconds(utc);
    std::int32_t offset = 0;
    if (!offsets.OffsetAt(instant, offset)) continue;
    CivilTime local = days.FromSeconds(instant + offset);
    record.localYear = static_cast<std::int16_t>(local.year - 2000);
    record.localMonth = static_cast<std::uint8_t>(local.month);
    record.localDay = static_cast<std::uint8_t>(local.day);
    record.localHour = static_cast<std::uint8_t>(local.hour);
    record.localMinute = static_cast<std::uint8_t>(local.minute);
    record.localSecond = static_cast<std::uint8_t>(local.second);
  }
}

}  // namespace quillon
