#include "logdata/ParallelParse.h"

#include <cstdint>
#include <cstring>
#include <exception>
#include <future>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "logdata/ByteScan.h"
#include "logdata/NmeaParser.h"
#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

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

void ReserveRecords(FixList& list, std::size_t count) {
  list.Reserve(count);
  std::vector<FixRecord>& records = list.Records();
  PreferHugePages(records.data(), records.capacity() * sizeof(FixRecord));
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

// Appends the records of the lines from `begin` up to `end` (a line start or
// the end of the text) to `out`, numbering GGA sentences on from fixCounter.
// A GGA line without a comma has no field to number its record by, so that
// record keeps sequence 0; when `unnumbered` is given, such records' indices
// in `out` are collected there.
void ScanLines(std::string_view text, std::size_t begin, std::size_t end, std::int32_t& fixCounter, FixList& out,
               std::vector<std::size_t>* unnumbered) {
  std::string_view lines = text.substr(0, end);
  FixRecord pending;
  bool hasPending = false;
  bool pendingNumbered = true;
  std::size_t cursor = begin;
  while (auto line = NextLine(lines, cursor)) {
    LineMarks marks = FindMarks(*line);
    if (marks.checksum) continue;
    if (marks.gga != std::string_view::npos) {
      // A GGA line that no RMC line completed is dropped here.
      pending = FixRecord{};
      hasPending = true;
      if (unnumbered) pendingNumbered = line->find(',') != std::string_view::npos;
      ParseGgaSentence(*line, marks.gga != 0, pending, fixCounter, text.data());
    }
    if (marks.rmc != std::string_view::npos && hasPending) {
      ParseRmcSentence(*line, marks.rmc != 0, pending, out, text.data());
      hasPending = false;
      if (unnumbered && !pendingNumbered) unnumbered->push_back(out.Size() - 1);
    }
  }
}

// Where the second part of a split scan starts: the first GGA line from the
// middle of the text on. Every GGA line drops the record still waiting for
// its RMC line, so nothing before that line reaches a record after it; only
// the numbering carries over. None when no such line follows the middle.
std::optional<std::size_t> FindSplit(std::string_view text) {
  std::size_t middle = text.size() / 2;
  const void* lf = std::memchr(text.data() + middle, '\n', text.size() - middle);
  if (!lf) return std::nullopt;
  std::size_t cursor = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data()) + 1;
  std::size_t lineStart = cursor;
  while (auto line = NextLine(text, cursor)) {
    LineMarks marks = FindMarks(*line);
    if (!marks.checksum && marks.gga != std::string_view::npos) return lineStart;
    lineStart = cursor;
  }
  return std::nullopt;
}

// The first part goes straight into the Fix List on a second thread while
// this thread scans the second part into a list of its own, numbered from 0;
// the second part is then renumbered and appended. Each thread counts the RMC
// identifiers of its own part, and the Fix List is reserved for both. Returns
// false, with the Fix List emptied, when a thread could not be had or a part
// failed.
bool ScanInTwoParts(AppState& state, std::string_view text, std::size_t split) {
  std::promise<std::size_t> secondCount;
  std::future<std::size_t> secondCountLater = secondCount.get_future();
  std::int32_t firstCounter = state.fixCounter;
  std::exception_ptr firstError;
  std::thread worker;
  try {
    worker = std::thread([&]() noexcept {
      try {
        std::size_t firstCount = CountRmcIdentifiers(text.substr(0, split));
        ReserveRecords(state.fixList, firstCount + secondCountLater.get());
        ScanLines(text, 0, split, firstCounter, state.fixList, nullptr);
      } catch (...) {
        firstError = std::current_exception();
      }
    });
  } catch (const std::system_error&) {
    return false;
  }

  std::size_t count = CountRmcIdentifiers(text.substr(split));
  secondCount.set_value(count);
  FixList second;
  std::vector<std::size_t> unnumbered;
  std::int32_t secondCounter = 0;
  bool secondDone = false;
  try {
    ReserveRecords(second, count);
    ScanLines(text, split, text.size(), secondCounter, second, &unnumbered);
    secondDone = true;
  } catch (...) {
  }
  worker.join();
  if (firstError || !secondDone) {
    state.fixList.Records().clear();
    return false;
  }

  // Same 32-bit wrap as the counter itself.
  auto firstNumber = static_cast<std::uint32_t>(firstCounter);
  std::vector<FixRecord>& secondRecords = second.Records();
  std::size_t nextUnnumbered = 0;
  for (std::size_t i = 0; i < secondRecords.size(); ++i) {
    if (nextUnnumbered < unnumbered.size() && unnumbered[nextUnnumbered] == i) {
      ++nextUnnumbered;
      continue;
    }
    FixRecord& record = secondRecords[i];
    record.sequence = static_cast<std::int32_t>(static_cast<std::uint32_t>(record.sequence) + firstNumber);
  }
  state.fixCounter = static_cast<std::int32_t>(firstNumber + static_cast<std::uint32_t>(secondCounter));
  // Within the capacity reserved for the whole text: no reallocation.
  std::vector<FixRecord>& records = state.fixList.Records();
  records.insert(records.end(), secondRecords.begin(), secondRecords.end());
  return true;
}

}  // namespace

void ParseRawLogText(AppState& state, std::size_t parallelMinimumSize) {
  if (!state.rawLogText) return;
  // Records point into the text they were parsed from, so the list is built
  // afresh for this text.
  state.fixList.Free();
  state.fixList.SetText(state.rawLogText);
  std::string_view text(*state.rawLogText);
  if (text.size() >= parallelMinimumSize) {
    std::optional<std::size_t> split = FindSplit(text);
    if (split && ScanInTwoParts(state, text, *split)) return;
  }
  // Should a part have failed (its list could not be had), the whole text is
  // scanned here as well, failing only where this scan alone would.
  ReserveRecords(state.fixList, CountRmcIdentifiers(text));
  ScanLines(text, 0, text.size(), state.fixCounter, state.fixList, nullptr);
}

}  // namespace quillon
