#include "orvex/NmeaRenderer.h"

#include <cstdio>
#include <cstdlib>

namespace quillon::orvex {
namespace {

constexpr std::int32_t kTenThousandthsPerDegree = 600000;
constexpr char kHex[] = "0123456789ABCDEF";

// Writes ddmm.mmmm (or dddmm.mmmm) and the hemisphere letter.
int FormatCoordinate(char* out, std::size_t size, std::int32_t value, int degreeDigits, char positive,
                     char negative) {
  std::uint32_t magnitude = static_cast<std::uint32_t>(std::abs(static_cast<std::int64_t>(value)));
  std::uint32_t degrees = magnitude / kTenThousandthsPerDegree;
  std::uint32_t minutes = magnitude % kTenThousandthsPerDegree;
  return std::snprintf(out, size, "%0*u%02u.%04u,%c", degreeDigits, degrees, minutes / 10000, minutes % 10000,
                       value < 0 ? negative : positive);
}

void AppendSentence(const char* tagText, const char* body, std::string& out) {
  if (tagText != nullptr) {
    out += tagText;
    out += ',';
  }
  out += '$';
  out += body;
  out += '*';
  out += NmeaChecksum(body);
  out += "\r\n";
}

}  // namespace

std::string NmeaChecksum(std::string_view sentenceBody) {
  unsigned char sum = 0;
  for (char c : sentenceBody) sum ^= static_cast<unsigned char>(c);
  return {kHex[sum >> 4], kHex[sum & 0x0F]};
}

// $GPGGA,hhmmss.000,ddmm.mmmm,N,dddmm.mmmm,E,quality,satellites,hdop,altitude,M,,M,,*cs
// $GPRMC,hhmmss.000,status,ddmm.mmmm,N,dddmm.mmmm,E,knots,course,ddmmyy,,,mode*cs
void RenderFix(const LoggerFix& fix, bool tagField, std::string& out) {
  UtcDateTime when = ToUtcDateTime(fix.utcSeconds);
  char tagText[8] = "---";
  if (fix.tag != 0) {
    unsigned tag = fix.tag > kMaxTagNumber ? kMaxTagNumber : fix.tag;
    std::snprintf(tagText, sizeof tagText, "%3u", tag);
    for (char* p = tagText; *p == ' '; ++p) *p = '-';
  }
  const char* tagPrefix = tagField ? tagText : nullptr;

  char position[48] = ",,,";
  if (fix.positionValid) {
    int used = FormatCoordinate(position, sizeof position, fix.latitude, 2, 'N', 'S');
    position[used++] = ',';
    FormatCoordinate(position + used, sizeof position - static_cast<std::size_t>(used), fix.longitude, 3, 'E', 'W');
  }

  char body[128];
  char altitude[16] = "";
  if (fix.positionValid) {
    std::int32_t dm = fix.altitudeDm;
    std::snprintf(altitude, sizeof altitude, "%s%d.%d", dm < 0 ? "-" : "", std::abs(dm) / 10, std::abs(dm) % 10);
  }
  std::snprintf(body, sizeof body, "GPGGA,%02d%02d%02d.000,%s,%d,%02u,%u.%02u,%s,M,,M,,", when.hour, when.minute,
                when.second, position, fix.positionValid ? 1 : 0, fix.satellites, fix.hdopCenti / 100u,
                fix.hdopCenti % 100u, altitude);
  AppendSentence(tagPrefix, body, out);

  std::snprintf(body, sizeof body, "GPRMC,%02d%02d%02d.000,%c,%s,%u.%02u,%u.%02u,%02d%02d%02d,,,%c", when.hour,
                when.minute, when.second, fix.positionValid ? 'A' : 'V', position, fix.speedCentiKnots / 100u,
                fix.speedCentiKnots % 100u, fix.courseCentiDegrees / 100u, fix.courseCentiDegrees % 100u, when.day,
                when.month, when.year % 100, fix.positionValid ? 'A' : 'N');
  AppendSentence(tagPrefix, body, out);
}

}  // namespace quillon::orvex
