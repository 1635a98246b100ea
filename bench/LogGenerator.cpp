#include "bench/LogGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>

#include "logdata/CivilTime.h"

namespace quillon::bench {

namespace {

constexpr std::int64_t kStartSeconds = 1205304306;  // 2008-03-12 06:45:06 UTC
constexpr std::size_t kFixesPerTagBlock = 1000;

unsigned Checksum(const char* body, int length) {
  unsigned sum = 0;
  for (int i = 0; i < length; ++i) sum ^= static_cast<unsigned char>(body[i]);
  return sum;
}

// Appends "<tag>,$<body>*<checksum>\r\n".
void AppendSentence(std::string& out, const char* tag, const char* body, int length) {
  char tail[8];
  std::snprintf(tail, sizeof tail, "*%02X\r\n", Checksum(body, length));
  out.append(tag).append(",$").append(body, static_cast<std::size_t>(length)).append(tail);
}

// ddmm.mmmm / dddmm.mmmm of a position in micro-degrees.
void FormatCoordinate(char* out, std::size_t size, std::int64_t micro, int degreeDigits) {
  std::int64_t degrees = micro / 1000000;
  std::int64_t tenThousandthsOfMinute = (micro % 1000000) * 60 / 100;
  std::snprintf(out, size, "%0*lld%02lld.%04lld", degreeDigits, static_cast<long long>(degrees),
                static_cast<long long>(tenThousandthsOfMinute / 10000),
                static_cast<long long>(tenThousandthsOfMinute % 10000));
}

void AppendFix(std::string& out, std::size_t i) {
  char tag[4] = "---";
  std::size_t block = i / kFixesPerTagBlock;
  if (block % 2 == 1) std::snprintf(tag, sizeof tag, "%3zu", (block / 2) % 255 + 1);
  for (char& c : tag) {
    if (c == ' ') c = '-';
  }
  CivilTime t = FromEpochSeconds(kStartSeconds + static_cast<std::int64_t>(i));
  char time[16];
  std::snprintf(time, sizeof time, "%02d%02d%02d.000", t.hour, t.minute, t.second);
  char date[8];
  std::snprintf(date, sizeof date, "%02d%02d%02d", t.day, t.month, static_cast<int>(t.year % 100));
  char latitude[16];
  char longitude[16];
  FormatCoordinate(latitude, sizeof latitude, 25052056 + static_cast<std::int64_t>(i % 100000) * 3, 2);
  FormatCoordinate(longitude, sizeof longitude, 121509463 + static_cast<std::int64_t>(i % 70000) * 4, 3);

  char body[128];
  int n = std::snprintf(body, sizeof body, "GPGGA,%s,%s,N,%s,E,1,%02zu,%zu.%zu,%zu.%zu,M,15.0,M,,0000", time, latitude,
                        longitude, 4 + i % 9, 1 + i % 3, i % 10, 20 + i % 80, i % 10);
  AppendSentence(out, tag, body, n);
  n = std::snprintf(body, sizeof body, "GPRMC,%s,A,%s,N,%s,E,%zu.%02zu,%zu.%02zu,%s,,,A", time, latitude, longitude,
                    i % 40, i % 100, i % 360, i % 100, date);
  AppendSentence(out, tag, body, n);
}

}  // namespace

std::uintmax_t WriteRawLog(const std::filesystem::path& file, std::size_t pairs) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + file.string());
  std::string chunk;
  chunk.reserve(1 << 20);
  std::uintmax_t written = 0;
  for (std::size_t i = 0; i < pairs; ++i) {
    AppendFix(chunk, i);
    if (chunk.size() > (1 << 20) - 512 || i + 1 == pairs) {
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      written += chunk.size();
      chunk.clear();
    }
  }
  if (!out) throw std::runtime_error("cannot write " + file.string());
  return written;
}

GeneratedLogDirectory::GeneratedLogDirectory(std::size_t pairs)
    : previous_(std::filesystem::current_path()), pairs_(pairs) {
  std::string pattern = (std::filesystem::temp_directory_path() / "quillon-bench-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
  path_ = pattern;
  std::filesystem::create_directories(path_ / "Rawdata");
  logBytes_ = WriteRawLog(path_ / "Rawdata" / kGeneratedLogName, pairs);
  std::filesystem::current_path(path_);
}

GeneratedLogDirectory::~GeneratedLogDirectory() {
  std::error_code error;
  std::filesystem::current_path(previous_, error);
  if (!keep_) std::filesystem::remove_all(path_, error);
}

}  // namespace quillon::bench
