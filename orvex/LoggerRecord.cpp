#include "orvex/LoggerRecord.h"

#include <cstring>

#include "orvex/WireProtocol.h"

namespace quillon::orvex {
namespace {

constexpr std::uint8_t kFlagPositionValid = 0x01;
constexpr std::int64_t kSecondsPerDay = 86400;

void Store16(std::uint8_t* out, std::uint16_t value) {
  out[0] = static_cast<std::uint8_t>(value);
  out[1] = static_cast<std::uint8_t>(value >> 8);
}

void Store32(std::uint8_t* out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

const std::int64_t kDays1970To2000 = DaysFromCivil(2000, 1, 1);

}  // namespace

void EncodeRecord(const LoggerFix& fix, std::uint8_t* out) {
  std::memset(out, 0, kRecordSize);
  out[0] = kRecordMarker;
  out[1] = fix.positionValid ? kFlagPositionValid : 0;
  Store16(out + 2, fix.tag);
  Store32(out + 4, fix.utcSeconds);
  Store32(out + 8, static_cast<std::uint32_t>(fix.latitude));
  Store32(out + 12, static_cast<std::uint32_t>(fix.longitude));
  Store32(out + 16, static_cast<std::uint32_t>(fix.altitudeDm));
  Store16(out + 20, fix.speedCentiKnots);
  Store16(out + 22, fix.courseCentiDegrees);
  Store16(out + 24, fix.hdopCenti);
  out[26] = fix.satellites;
  Store16(out + 30, Crc16(out, 30));
}

std::optional<LoggerFix> DecodeRecord(const std::uint8_t* in) {
  if (in[0] != kRecordMarker || Crc16(in, 30) != GetU16(in + 30)) return std::nullopt;
  LoggerFix fix;
  fix.positionValid = (in[1] & kFlagPositionValid) != 0;
  fix.tag = GetU16(in + 2);
  fix.utcSeconds = GetU32(in + 4);
  fix.latitude = static_cast<std::int32_t>(GetU32(in + 8));
  fix.longitude = static_cast<std::int32_t>(GetU32(in + 12));
  fix.altitudeDm = static_cast<std::int32_t>(GetU32(in + 16));
  fix.speedCentiKnots = GetU16(in + 20);
  fix.courseCentiDegrees = GetU16(in + 22);
  fix.hdopCenti = GetU16(in + 24);
  fix.satellites = in[26];
  return fix;
}

std::vector<std::uint8_t> EncodeSettings(const LoggerSettings& settings) {
  std::vector<std::uint8_t> out;
  out.reserve(kSettingsPayloadSize);
  PutU32(out, static_cast<std::uint32_t>(settings.timeInterval));
  PutU32(out, static_cast<std::uint32_t>(settings.distanceInterval));
  out.push_back(settings.vibration);
  out.push_back(settings.tagFunction);
  out.push_back(settings.minimumSpeed);
  out.insert(out.end(), settings.userPoints.begin(), settings.userPoints.end());
  out.push_back(settings.idleTimer);
  out.push_back(settings.tagMode);
  out.push_back(static_cast<std::uint8_t>(settings.timeZone));
  return out;
}

std::optional<LoggerSettings> DecodeSettings(const std::uint8_t* in, std::size_t size) {
  if (size != kSettingsPayloadSize) return std::nullopt;
  LoggerSettings settings;
  settings.timeInterval = static_cast<std::int32_t>(GetU32(in));
  settings.distanceInterval = static_cast<std::int32_t>(GetU32(in + 4));
  settings.vibration = in[8];
  settings.tagFunction = in[9];
  settings.minimumSpeed = in[10];
  std::memcpy(settings.userPoints.data(), in + 11, kUserPointBlockSize);
  settings.idleTimer = in[11 + kUserPointBlockSize];
  settings.tagMode = in[12 + kUserPointBlockSize];
  settings.timeZone = static_cast<std::int8_t>(in[13 + kUserPointBlockSize]);
  return settings;
}

UtcDateTime ToUtcDateTime(std::uint32_t secondsSince2000) {
  UtcDateTime when;
  std::int64_t days = secondsSince2000 / kSecondsPerDay;
  std::int64_t rest = secondsSince2000 % kSecondsPerDay;
  CivilFromDays(kDays1970To2000 + days, when.year, when.month, when.day);
  when.hour = static_cast<int>(rest / 3600);
  when.minute = static_cast<int>(rest / 60 % 60);
  when.second = static_cast<int>(rest % 60);
  return when;
}

std::optional<std::uint32_t> ToSecondsSince2000(const UtcDateTime& when) {
  if (when.year < 2000 || when.year > 2135 || when.month < 1 || when.month > 12 || when.day < 1 || when.hour < 0 ||
      when.hour > 23 || when.minute < 0 || when.minute > 59 || when.second < 0 || when.second > 59) {
    return std::nullopt;
  }
  int y = 0, m = 0, d = 0;
  std::int64_t days = DaysFromCivil(when.year, static_cast<unsigned>(when.month), static_cast<unsigned>(when.day));
  CivilFromDays(days, y, m, d);
  if (d != when.day) return std::nullopt;  // 31 April and the like
  std::int64_t seconds = (days - kDays1970To2000) * kSecondsPerDay + when.hour * 3600 + when.minute * 60 + when.second;
  return static_cast<std::uint32_t>(seconds);
}

}  // namespace quillon::orvex
