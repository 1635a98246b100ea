#pragma once

#include <cstdint>

namespace quillon {

// A calendar date and time of the proleptic Gregorian calendar.
struct CivilTime {
  std::int64_t year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// True for a real instant: month 1-12, a day that the month has, hour 0-23,
// minute and second 0-59.
bool IsValidCivilTime(const CivilTime& time);

// Seconds since 1970-01-01 00:00 of the same clock, and back.
std::int64_t ToEpochSeconds(const CivilTime& time);
CivilTime FromEpochSeconds(std::int64_t seconds);

}  // namespace quillon
