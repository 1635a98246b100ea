#include "orvex/emulator/SyntheticTrack.h"

namespace quillon::orvex {
namespace {

constexpr int kSecondsBetweenFixes = 5;
constexpr int kFixesPerTagRun = 20;
constexpr std::int32_t kStartLatitude = (25 * 60) * 10000 + 31234;     // 25 deg 03.1234' N
constexpr std::int32_t kStartLongitude = (121 * 60) * 10000 + 305678;  // 121 deg 30.5678' E

}  // namespace

std::vector<LoggerFix> SyntheticTrack(int count) {
  const std::uint32_t start = *ToSecondsSince2000({2008, 12, 31, 23, 58, 20});
  std::vector<LoggerFix> track;
  track.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  std::int32_t latitude = kStartLatitude;
  std::int32_t longitude = kStartLongitude;
  std::uint16_t tagCounter = 0;
  for (int i = 0; i < count; ++i) {
    const int run = i / kFixesPerTagRun;
    const bool tagged = run % 3 != 0;
    if (tagged && i % kFixesPerTagRun == 0) tagCounter = tagCounter >= kMaxTagNumber ? 1 : tagCounter + 1;

    LoggerFix fix;
    fix.utcSeconds = start + static_cast<std::uint32_t>(i) * kSecondsBetweenFixes;
    fix.positionValid = i % 37 != 5 && i % 37 != 6;
    fix.tag = tagged ? tagCounter : 0;
    latitude += 13 + i % 7;
    longitude += 17;
    if (fix.positionValid) {
      fix.latitude = latitude;
      fix.longitude = longitude;
      fix.altitudeDm = 100 + (i % 50) * 3;
    }
    fix.speedCentiKnots = static_cast<std::uint16_t>((i % 40) * 37);
    fix.courseCentiDegrees = static_cast<std::uint16_t>((i * 700) % 36000);
    fix.hdopCenti = static_cast<std::uint16_t>(80 + (i % 20) * 10);
    fix.satellites = static_cast<std::uint8_t>(fix.positionValid ? 4 + i % 9 : 0);
    track.push_back(fix);
  }
  return track;
}

}  // namespace quillon::orvex
