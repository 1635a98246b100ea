#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// What the logger stores and sends: the binary fix record of its memory, and
// the payloads of the information, clock and settings answers. Layouts are in
// docs/wire-protocol.md; all numbers little-endian.
namespace quillon::orvex {

inline constexpr std::uint32_t kMemoryBytes = 3997696;  // 3904 KB
inline constexpr std::size_t kRecordSize = 32;
inline constexpr std::uint32_t kRecordCapacity = kMemoryBytes / kRecordSize;
inline constexpr std::uint8_t kRecordMarker = 0xA5;
inline constexpr std::uint16_t kMaxTagNumber = 999;  // the tag field holds three characters
inline constexpr std::size_t kUserPointBlockSize = 160;
inline constexpr std::size_t kFirmwareSize = 8;
inline constexpr std::size_t kDistributorSize = 32;

// One fix as the logger records it.
struct LoggerFix {
  std::uint32_t utcSeconds = 0;   // since 2000-01-01 00:00:00 UTC
  bool positionValid = false;     // false: a fix without a position (RMC status V)
  std::uint16_t tag = 0;          // 0: no tag
  std::int32_t latitude = 0;      // ten-thousandths of an arc minute, north positive
  std::int32_t longitude = 0;     // ten-thousandths of an arc minute, east positive
  std::int32_t altitudeDm = 0;    // decimetres
  std::uint16_t speedCentiKnots = 0;
  std::uint16_t courseCentiDegrees = 0;
  std::uint16_t hdopCenti = 0;
  std::uint8_t satellites = 0;
  bool operator==(const LoggerFix&) const = default;
};

void EncodeRecord(const LoggerFix& fix, std::uint8_t* out /* kRecordSize */);
// Null when the bytes hold no record (erased memory or a damaged marker).
std::optional<LoggerFix> DecodeRecord(const std::uint8_t* in /* kRecordSize */);

// The logger's settings, as the settings answer and the settings write carry them.
struct LoggerSettings {
  std::int32_t timeInterval = 5;
  std::int32_t distanceInterval = -1;
  std::uint8_t vibration = 0;
  std::uint8_t tagFunction = 1;
  std::uint8_t minimumSpeed = 0;
  std::array<std::uint8_t, kUserPointBlockSize> userPoints{};
  std::uint8_t idleTimer = 10;
  std::uint8_t tagMode = 0;
  std::int8_t timeZone = 8;
  bool operator==(const LoggerSettings&) const = default;
};
inline constexpr std::size_t kSettingsPayloadSize = 4 + 4 + 3 + kUserPointBlockSize + 3;

std::vector<std::uint8_t> EncodeSettings(const LoggerSettings& settings);
std::optional<LoggerSettings> DecodeSettings(const std::uint8_t* in, std::size_t size);

// Calendar helpers for the record's time base.
struct UtcDateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
UtcDateTime ToUtcDateTime(std::uint32_t secondsSince2000);
// Null for a date before 2000 or a field out of range.
std::optional<std::uint32_t> ToSecondsSince2000(const UtcDateTime& when);

}  // namespace quillon::orvex
