#include "logdata/RawLogLoader.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "logdata/ByteScan.h"
#include "logdata/NmeaParser.h"
#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

constexpr std::string_view kGgaId = "$GPGGA";
constexpr std::string_view kRmcId = "$GPRMC";
constexpr std::string_view kChecksumWord = "Checksum";

// Upper bound of the records a text can yield: each one needs an RMC line.
std::size_t CountRmcIdentifiers(std::string_view text) {
  std::size_t count = 0;
  ForEachByteOf(text.data(), text.size(), '$', '$', [&](std::size_t i) {
    count += text.substr(i).starts_with(kRmcId);
    return true;
  });
  return count;
}

// The next line at `cursor`: the text before its LF, less a CR right before
// the LF, cut to the line length the format allows. A last line without LF is
// not a line.
std::optional<std::string_view> NextLine(std::string_view text, std::size_t& cursor) {
  if (cursor >= text.size()) return std::nullopt;
  const void* lf = std::memchr(text.data() + cursor, '\n', text.size() - cursor);
  if (!lf) return std::nullopt;
  std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
  std::string_view line = text.substr(cursor, end - cursor);
  cursor = end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > kMaxLineLength) line = line.substr(0, kMaxLineLength);
  return line;
}

// Where a line holds the two identifiers first, and whether it holds the word
// that marks a line to skip; found in one pass over the line.
struct LineMarks {
  std::size_t gga = std::string_view::npos;
  std::size_t rmc = std::string_view::npos;
  bool checksum = false;
};

LineMarks FindMarks(std::string_view line) {
  LineMarks marks;
  ForEachByteOf(line.data(), line.size(), '$', 'C', [&](std::size_t i) {
    std::string_view rest = line.substr(i);
    if (line[i] == 'C') {
      marks.checksum = rest.starts_with(kChecksumWord);
      return !marks.checksum;
    }
    if (marks.gga == std::string_view::npos && rest.starts_with(kGgaId)) marks.gga = i;
    if (marks.rmc == std::string_view::npos && rest.starts_with(kRmcId)) marks.rmc = i;
    return true;
  });
  return marks;
}

}  // namespace

void LoadRawLog(AppState& state, MessageBoxes& boxes) {
  std::error_code error;
  FileHandle file;
  // Only a regular file: a folder cannot be read and a pipe would block.
  if (std::filesystem::is_regular_file(state.rawLogPath, error)) file.reset(std::fopen(state.rawLogPath.c_str(), "rb"));
  if (!file) {
    boxes.ShowMessage(kCantOpenRawLogMessage, kInfoCaption);
    return;
  }
  long length = -1;
  if (std::fseek(file.get(), 0, SEEK_END) == 0) length = std::ftell(file.get());
  std::rewind(file.get());

  state.rawLogText.reset();
  // Sentence spans address the text with 32-bit offsets; a text they cannot
  // address is one this program cannot hold.
  std::shared_ptr<std::string> text;
  try {
    text = std::make_shared<std::string>();
    if (length < 0 || static_cast<unsigned long>(length) > std::numeric_limits<std::uint32_t>::max()) {
      throw std::bad_alloc();
    }
    text->reserve(static_cast<std::size_t>(length));
    PreferHugePages(text->data(), text->capacity());
    text->resize(static_cast<std::size_t>(length));
  } catch (const std::bad_alloc&) {
    boxes.ShowMessage(kMemoryNotEnoughMessage, "");
    return;
  }
  std::size_t read = text->empty() ? 0 : std::fread(text->data(), 1, text->size(), file.get());
  text->resize(read);
  state.rawLogText = std::move(text);
}

void ParseRawLog(AppState& state) {
  if (!state.rawLogText) return;
  // Records point into the text they were parsed from, so the list is built
  // afresh for this text.
  state.fixList.Free();
  state.fixList.SetText(state.rawLogText);
  std::string_view text(*state.rawLogText);
  state.fixList.Reserve(CountRmcIdentifiers(text));
  std::vector<FixRecord>& records = state.fixList.Records();
  PreferHugePages(records.data(), records.capacity() * sizeof(FixRecord));

  FixRecord pending;
  bool hasPending = false;
  std::size_t cursor = 0;
  while (auto line = NextLine(text, cursor)) {
    LineMarks marks = FindMarks(*line);
    if (marks.checksum) continue;
    if (marks.gga != std::string_view::npos) {
      // A GGA line that no RMC line completed is dropped here.
      pending = FixRecord{};
      hasPending = true;
      ParseGgaSentence(*line, marks.gga != 0, pending, state.fixCounter, text.data());
    }
    if (marks.rmc != std::string_view::npos && hasPending) {
      ParseRmcSentence(*line, marks.rmc != 0, pending, state.fixList, text.data());
      hasPending = false;
    }
  }
}

}  // namespace quillon
