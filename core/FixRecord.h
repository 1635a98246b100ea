#pragma once

#include <cstdint>

#include "core/FixedText.h"

namespace quillon {

// Where a sentence text lies in the raw log text that its list keeps alive.
struct TextSpan {
  std::uint32_t offset = 0;
  std::uint8_t length = 0;  // at most 127
};

// The tag field "---" stores '-' in tag, as the log format defines, and marks
// the record untagged, so that a real tag 45 stays a tag.
inline constexpr std::uint16_t kNoTag = '-';
// The logger's tag button counts to 999.
inline constexpr int kMaxTag = 999;

// One position fix: a GGA line completed by the RMC line after it. A record
// starts zero-filled, so fields that no sentence sets are zero or empty.
struct FixRecord {
  std::int32_t sequence = 0;
  std::uint16_t tag = 0;  // 0 to 999; kNoTag for "---", 0 when the lines carry no tag field
  bool untagged = false;  // the tag field was "---"
  char northSouth = 0;
  char eastWest = 0;
  std::uint8_t utcYear = 0;  // two digits: years after 2000
  std::uint8_t utcMonth = 0;
  std::uint8_t utcDay = 0;
  std::uint8_t utcHour = 0;
  std::uint8_t utcMinute = 0;
  std::uint8_t utcSecond = 0;
  std::int16_t localYear = 0;  // years after 2000: -1 is 1999, 256 is 2256
  std::uint8_t localMonth = 0;
  std::uint8_t localDay = 0;
  std::uint8_t localHour = 0;
  std::uint8_t localMinute = 0;
  std::uint8_t localSecond = 0;
  std::int32_t speedKnots = 0;
  std::int32_t satellites = 0;
  double hdop = 0.0;
  double altitude = 0.0;
  FixedText<15> latitudeText;
  FixedText<15> latitudeDegrees;
  FixedText<15> longitudeText;
  FixedText<15> longitudeDegrees;
  FixedText<10> courseText;
  TextSpan ggaSentence;
  TextSpan rmcSentence;
};

}  // namespace quillon
