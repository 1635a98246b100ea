#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/FixRecord.h"

namespace quillon {

// Pieces of text that several writers print the same way. Each Append form
// appends to out; each Write form puts the same characters at `at` and
// returns the end of what it wrote, for writers that fill a buffer of known
// room themselves.

// The most characters WriteInteger, WriteTwoDecimals and WriteDateTime can
// put down (a double's fixed notation reaches some 310 digits).
inline constexpr std::size_t kMaxIntegerText = 20;
inline constexpr std::size_t kMaxTwoDecimalsText = 400;
inline constexpr std::size_t kMaxDateTimeText = 6 * (kMaxIntegerText + 1);

// A whole number in decimal.
void AppendInteger(std::string& out, std::int64_t value);
char* WriteInteger(char* at, std::int64_t value);

// A number with two decimals ("%0.2f"), independent of the C locale.
void AppendTwoDecimals(std::string& out, double value);
char* WriteTwoDecimals(char* at, double value);

// "d/m/yyyy,h:m:s," without leading zeros, from the local-time or the UTC
// fields of the record.
void AppendDateTime(std::string& out, const FixRecord& record, bool useLocalTime);
char* WriteDateTime(char* at, const FixRecord& record, bool useLocalTime);

// Speed in km/h from whole knots, rounded to a whole number, halves away from
// zero (375 knots, 694.5 km/h, give 695).
std::int64_t KnotsToKilometresPerHour(std::int32_t knots);

// The hemisphere rule of the CSV, TrackMaker and track coordinates: only the
// upper-case letters 'W' and 'S' make a coordinate negative.
inline bool IsWest(const FixRecord& r) { return r.eastWest == 'W'; }
inline bool IsSouth(const FixRecord& r) { return r.northSouth == 'S'; }

}  // namespace quillon
