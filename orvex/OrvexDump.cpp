#include <algorithm>
#include <string>

#include "api/DeviceCodes.h"
#include "orvex/NmeaRenderer.h"
#include "orvex/OrvexLibrary.h"
#include "orvex/RawLogFile.h"

namespace quillon::orvex {

// Downloads the used memory block by block and renders every record as it
// arrives, so memory stays at one block of text whatever the log's size.
// Records that fail their own check (a damaged marker or checksum in the
// logger's memory) are left out rather than written as wrong positions.
int OrvexLibrary::DumpDb(const char* rawLogFileName) {
  if (!line_) return code::kNotDumpMode;
  if (rawLogFileName == nullptr) return code::kCantBuildDumpFile;
  RawLogFile file;
  if (int failed = file.Begin(rawLogFileName)) return failed;

  LoggerSettings settings;
  if (int read = ReadSettingValue(settings); read != code::kReadSettingSuccessful) return read;
  const bool tagField = settings.tagFunction != 0;

  std::uint32_t used = 0;
  if (int failed = ReadUsedBytes(used)) {
    // Within a dump an unusable size is the logger failing to report.
    return failed == code::kMemoryUsedSizeError ? code::kDeviceNotReport : failed;
  }

  std::string text;
  text.reserve(kDownloadBlockBytes / kRecordSize * 200);
  std::vector<std::uint8_t> request;
  std::vector<std::uint8_t> answer;
  for (std::uint32_t offset = 0; offset < used;) {
    const auto length = static_cast<std::uint16_t>(std::min<std::uint32_t>(kDownloadBlockBytes, used - offset));
    request.clear();
    PutU32(request, offset);
    PutU16(request, length);
    if (int failed = Ask(Command::kReadBlock, request, answer)) return failed;
    if (answer.size() != 4u + length || GetU32(answer.data()) != offset) return code::kDeviceNotReport;

    text.clear();
    for (std::size_t at = 4; at + kRecordSize <= answer.size(); at += kRecordSize) {
      if (auto fix = DecodeRecord(answer.data() + at)) RenderFix(*fix, tagField, text);
    }
    if (int failed = file.Append(text)) return failed;
    offset += length;
  }
  if (int failed = file.Commit()) return failed;
  return code::kDumpSuccessful;
}

}  // namespace quillon::orvex
