#include "orvex/emulator/TrackFileReader.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace quillon::orvex {
namespace {

std::vector<std::string> SplitFields(std::string_view sentence) {
  if (auto star = sentence.find('*'); star != std::string_view::npos) sentence = sentence.substr(0, star);
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    std::size_t comma = sentence.find(',', start);
    fields.emplace_back(sentence.substr(start, comma == std::string_view::npos ? comma : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

int TwoDigits(const std::string& text, std::size_t at) {
  if (text.size() < at + 2) return -1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

// ddmm.mmmm / dddmm.mmmm to ten-thousandths of an arc minute, signed by hemisphere.
std::int32_t ParseCoordinate(const std::string& text, const std::string& hemisphere) {
  double value = std::atof(text.c_str());
  double degrees = std::floor(value / 100.0);
  double minutes = value - degrees * 100.0;
  auto magnitude = static_cast<std::int32_t>(std::llround((degrees * 60.0 + minutes) * 10000.0));
  return (hemisphere == "S" || hemisphere == "W") ? -magnitude : magnitude;
}

std::uint16_t ParseTag(std::string_view field) {
  std::size_t digits = field.find_first_not_of('-');
  if (digits == std::string_view::npos) return 0;
  int tag = std::atoi(std::string(field.substr(digits)).c_str());
  return static_cast<std::uint16_t>(tag < 0 ? 0 : (tag > kMaxTagNumber ? kMaxTagNumber : tag));
}

}  // namespace

std::vector<LoggerFix> ParseTrackText(std::string_view text) {
  std::vector<LoggerFix> fixes;
  LoggerFix pending;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t dollar = line.find('$');
    if (dollar == std::string::npos) continue;
    std::uint16_t tag = dollar >= 4 ? ParseTag(std::string_view(line).substr(0, dollar - 1)) : 0;
    auto fields = SplitFields(std::string_view(line).substr(dollar));
    if (fields[0] == "$GPGGA" && fields.size() >= 10) {
      pending = LoggerFix{};
      pending.satellites = static_cast<std::uint8_t>(std::atoi(fields[7].c_str()));
      pending.hdopCenti = static_cast<std::uint16_t>(std::lround(std::atof(fields[8].c_str()) * 100));
      pending.altitudeDm = static_cast<std::int32_t>(std::lround(std::atof(fields[9].c_str()) * 10));
    } else if (fields[0] == "$GPRMC" && fields.size() >= 10) {
      LoggerFix fix = pending;
      const std::string& time = fields[1];
      const std::string& date = fields[9];
      auto seconds = ToSecondsSince2000({2000 + TwoDigits(date, 4), TwoDigits(date, 2), TwoDigits(date, 0),
                                         TwoDigits(time, 0), TwoDigits(time, 2), TwoDigits(time, 4)});
      if (!seconds) continue;
      fix.utcSeconds = *seconds;
      fix.positionValid = fields[2] == "A" && !fields[3].empty() && !fields[5].empty();
      if (fix.positionValid) {
        fix.latitude = ParseCoordinate(fields[3], fields[4]);
        fix.longitude = ParseCoordinate(fields[5], fields[6]);
      }
      fix.speedCentiKnots = static_cast<std::uint16_t>(std::lround(std::atof(fields[7].c_str()) * 100));
      fix.courseCentiDegrees = static_cast<std::uint16_t>(std::lround(std::atof(fields[8].c_str()) * 100));
      fix.tag = tag;
      fixes.push_back(fix);
      pending = LoggerFix{};
    }
  }
  return fixes;
}

bool ReadTrackFile(const std::string& path, std::vector<LoggerFix>& fixes, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return false;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fixes = ParseTrackText(text);
  return true;
}

}  // namespace quillon::orvex
