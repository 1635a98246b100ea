// The raw log parse: one pass over the text, line by line.
//
//   - A line ends at LF; a CR right before the LF is not part of it, and a
//     last line without LF is no line. Only its first 1023 characters count.
//   - A line holding "Checksum" is skipped whatever else it holds.
//   - A line holding "$GPGGA" starts a new record (a record still waiting for
//     its RMC line is dropped); a line holding "$GPRMC" completes the waiting
//     record, which then goes into the Fix List. A line can do both, in that
//     order.
//   - A sentence is read from its identifier up to the other identifier when
//     that follows on the line (a lost line end glues two sentences), else
//     to the line's end. The text before the identifier is a tag field
//     ("---,$GPGGA,...") only when it is exactly one field and the comma
//     right before the identifier; other text there is not read.
#include <cstring>
#include <string_view>

#include "logdata/NmeaParser.h"
#include "logdata/RawLogLoader.h"
#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

constexpr std::string_view kGgaId = "$GPGGA";
constexpr std::string_view kRmcId = "$GPRMC";
constexpr std::string_view kChecksumWord = "Checksum";

// Where `text` holds `byte` from `from` on, or npos.
std::size_t FindByte(std::string_view text, char byte, std::size_t from) {
  if (from >= text.size()) return std::string_view::npos;
  const void* found = std::memchr(text.data() + from, byte, text.size() - from);
  return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) : std::string_view::npos;
}

// An upper bound of the records the text yields: each one needs an RMC line.
std::size_t CountRmcIdentifiers(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = FindByte(text, '$', 0); i != std::string_view::npos; i = FindByte(text, '$', i + 1)) {
    count += text.substr(i, kRmcId.size()) == kRmcId;
  }
  return count;
}

// Where the line holds each identifier first, and whether it holds the word
// that marks a line to skip.
struct LineMarks {
  std::size_t gga = std::string_view::npos;
  std::size_t rmc = std::string_view::npos;
  bool checksum = false;
};

LineMarks FindMarks(std::string_view line) {
  LineMarks marks;
  for (std::size_t i = FindByte(line, '$', 0); i != std::string_view::npos; i = FindByte(line, '$', i + 1)) {
    std::string_view id = line.substr(i, kGgaId.size());
    if (marks.gga == std::string_view::npos && id == kGgaId) marks.gga = i;
    if (marks.rmc == std::string_view::npos && id == kRmcId) marks.rmc = i;
  }
  marks.checksum = line.find(kChecksumWord) != std::string_view::npos;
  return marks;
}

// The text the sentence parser reads for the identifier at `id`, and whether
// it starts with a tag field.
struct SentenceText {
  std::string_view text;
  bool hasTagField = false;
};

SentenceText SentenceAt(std::string_view line, std::size_t id, std::size_t otherId) {
  const std::size_t end = otherId != std::string_view::npos && otherId > id ? otherId : line.size();
  const std::string_view before = line.substr(0, id);
  const bool tagField = !before.empty() && before.find(',') == before.size() - 1;
  const std::size_t start = tagField ? 0 : id;
  return {line.substr(start, end - start), tagField};
}

}  // namespace

void ParseRawLog(AppState& state) {
  if (!state.rawLogText) return;
  // Records point into the text they were parsed from, so the list is built
  // afresh for this text, reserved once so that it never moves while it grows.
  state.fixList.Free();
  state.fixList.SetText(state.rawLogText);
  const std::string_view text(*state.rawLogText);
  state.fixList.Reserve(CountRmcIdentifiers(text));
  PreferHugePages(state.fixList.Records().data(), state.fixList.Records().capacity() * sizeof(FixRecord));

  FixRecord pending;
  bool hasPending = false;
  std::size_t lineStart = 0;
  for (std::size_t lf = FindByte(text, '\n', 0); lf != std::string_view::npos; lf = FindByte(text, '\n', lineStart)) {
    std::string_view line = text.substr(lineStart, lf - lineStart);
    lineStart = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = line.substr(0, kMaxLineLength);

    const LineMarks marks = FindMarks(line);
    if (marks.checksum) continue;
    if (marks.gga != std::string_view::npos) {
      pending = FixRecord{};
      hasPending = true;
      const SentenceText gga = SentenceAt(line, marks.gga, marks.rmc);
      ParseGgaSentence(gga.text, gga.hasTagField, pending, state.fixCounter, text.data());
    }
    if (marks.rmc != std::string_view::npos && hasPending) {
      const SentenceText rmc = SentenceAt(line, marks.rmc, marks.gga);
      ParseRmcSentence(rmc.text, rmc.hasTagField, pending, state.fixList, text.data());
      hasPending = false;
    }
  }
}

}  // namespace quillon
