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
//
// A full logger memory is parsed as two pieces on two threads (see
// ParseRawLog); each piece goes through the same line loop.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string_view>
#include <future>
#include <thread>

#include "logdata/NmeaParser.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogParser.h"

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

// Where the line holds each identifier first.
struct LineMarks {
  std::size_t gga = std::string_view::npos;
  std::size_t rmc = std::string_view::npos;
};

// The high bit of each byte of `word` that equals `byte`, and no other bit.
std::uint64_t BytesEqual(std::uint64_t word, char byte) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t x = word ^ (kOnes * static_cast<unsigned char>(byte));
  return ~(((x & kLow7) + kLow7) | x | kLow7);
}

// Notes the identifier that starts at `at` of the line from `lineStart`,
// when it is the first of its kind within the line's counted characters.
void NoteIdentifier(std::string_view text, std::size_t lineStart, std::size_t at, LineMarks& marks) {
  if (at - lineStart + kGgaId.size() > kMaxLineLength) return;
  const std::string_view id = text.substr(at, kGgaId.size());
  if (marks.gga == std::string_view::npos && id == kGgaId) marks.gga = at - lineStart;
  if (marks.rmc == std::string_view::npos && id == kRmcId) marks.rmc = at - lineStart;
}

// One pass over the line from `lineStart`: where its LF is (npos when the
// text ends first), and where its identifiers are. The bytes are read eight
// at a time where the byte order allows, each word tested for LF and '$' at
// once; neither is in most words, so the loop runs mostly without a branch
// taken. Identifiers never hold an LF or a CR, so one found before the LF
// lies in the line, CR removed.
std::size_t ScanLine(std::string_view text, std::size_t lineStart, LineMarks& marks) {
  std::size_t at = lineStart;
  if constexpr (std::endian::native == std::endian::little) {
    for (; at + 8 <= text.size(); at += 8) {
      std::uint64_t word;
      std::memcpy(&word, text.data() + at, sizeof word);
      const std::uint64_t lf = BytesEqual(word, '\n');
      std::uint64_t dollars = BytesEqual(word, '$');
      if (lf != 0) dollars &= lf - 1;  // only those before the LF
      for (; dollars != 0; dollars &= dollars - 1) {
        NoteIdentifier(text, lineStart, at + static_cast<std::size_t>(std::countr_zero(dollars)) / 8, marks);
      }
      if (lf != 0) return at + static_cast<std::size_t>(std::countr_zero(lf)) / 8;
    }
  }
  for (; at < text.size(); ++at) {
    if (text[at] == '\n') return at;
    if (text[at] == '$') NoteIdentifier(text, lineStart, at, marks);
  }
  return std::string_view::npos;
}

// Tells for line after line whether it holds "Checksum". The word is rare,
// so it is looked for some kilobytes ahead at a time rather than once per
// line; lines must be asked about in the order of the text.
class ChecksumLookout {
 public:
  explicit ChecksumLookout(std::string_view text) : text_(text) {}

  // Whether the characters [start, end) hold the word.
  bool Holds(std::size_t start, std::size_t end) {
    if (start < searchedFrom_ || end > searchedTo_ || (next_ != std::string_view::npos && next_ < start)) {
      searchedFrom_ = start;
      searchedTo_ = std::min(text_.size(), std::max(end, start + kLookAhead));
      next_ = Find(start, searchedTo_);
    }
    return next_ != std::string_view::npos && next_ + kChecksumWord.size() <= end;
  }

 private:
  static constexpr std::size_t kLookAhead = 4096;
  // The word's 'k' is what is looked for: NMEA text holds no lower-case
  // letters, while the checksums of its sentences often hold a 'C'.
  static constexpr std::size_t kLetterAt = 4;

  // The first word wholly in [from, to), or npos.
  std::size_t Find(std::size_t from, std::size_t to) const {
    for (std::size_t k = from + kLetterAt; k < to; ++k) {
      const void* letter = std::memchr(text_.data() + k, kChecksumWord[kLetterAt], to - k);
      if (letter == nullptr) return std::string_view::npos;
      k = static_cast<std::size_t>(static_cast<const char*>(letter) - text_.data());
      const std::size_t word = k - kLetterAt;
      if (word + kChecksumWord.size() <= to && text_.substr(word, kChecksumWord.size()) == kChecksumWord) return word;
    }
    return std::string_view::npos;
  }
  std::string_view text_;
  // The first word found from searchedFrom_ on, npos when none lies wholly
  // in [searchedFrom_, searchedTo_).
  std::size_t next_ = std::string_view::npos;
  std::size_t searchedFrom_ = 0;
  std::size_t searchedTo_ = 0;
};

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

// Calls visit(lineStart, line, marks) for every line that starts at or after
// `begin` and before `end`, Checksum lines left out. Stops when visit returns
// false.
template <typename Visit>
void ForEachLine(std::string_view text, std::size_t begin, std::size_t end, Visit&& visit) {
  ChecksumLookout checksum(text);
  std::size_t lineStart = begin;
  while (lineStart < end) {
    LineMarks marks;
    const std::size_t lf = ScanLine(text, lineStart, marks);
    if (lf == std::string_view::npos) return;
    std::string_view line = text.substr(lineStart, lf - lineStart);
    const std::size_t start = lineStart;
    lineStart = lf + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = line.substr(0, kMaxLineLength);
    if (checksum.Holds(start, start + line.size())) continue;
    if (!visit(start, line, marks)) return;
  }
}

// The line loop: writes the records of the lines from `begin` up to `end`
// into the slots from `out` on, numbering GGA sentences on from fixCounter,
// and returns how many it completed. A record is parsed in the slot it ends
// up in: a GGA line clears the next free slot and fills it, the RMC line
// completes it, and a record still waiting when the next GGA line comes is
// cleared by it. So `out` needs one slot more than the records made, for the
// one that may still wait at the end.
std::size_t ParseLines(std::string_view text, std::size_t begin, std::size_t end, std::int32_t& fixCounter,
                       FixRecord* out) {
  std::size_t made = 0;
  bool hasPending = false;
  ForEachLine(text, begin, end, [&](std::size_t, std::string_view line, const LineMarks& marks) {
    FixRecord& pending = out[made];
    if (marks.gga != std::string_view::npos) {
      pending = FixRecord{};
      hasPending = true;
      const SentenceText gga = SentenceAt(line, marks.gga, marks.rmc);
      ParseGgaSentence(gga.text, gga.hasTagField, pending, fixCounter, text.data());
    }
    if (marks.rmc != std::string_view::npos && hasPending) {
      const SentenceText rmc = SentenceAt(line, marks.rmc, marks.gga);
      ReadRmcFields(rmc.text, rmc.hasTagField, pending, text.data());
      ++made;
      hasPending = false;
    }
    return true;
  });
  return made;
}

// Makes `slots` cleared records the Fix List's contents. Nothing is written
// here: the block's memory comes zero-filled, and each piece's thread is the
// first to write its own slots.
void MakeSlots(FixList& list, std::size_t slots) { list.Records().resize(slots); }

// Where the second piece starts: the first GGA line from about the middle of
// the text on; npos when there is none.
std::size_t FindSplit(std::string_view text) {
  const std::size_t split = PieceStart(text, text.size() / 2);
  return split < text.size() ? split : std::string_view::npos;
}

// The two pieces on two threads: this one parses [0, split) into the Fix
// List's first slots, the worker [split, end) into the slots after them,
// numbering its GGA sentences from 1; its records are then numbered on and
// moved down to follow the first piece's. A record of the second piece has
// sequence 0 only when its GGA line had no field to number it by. Each
// thread counts the RMC identifiers of its piece, and this one makes the
// slots for both before either parses. False, with the Fix List empty, when
// a thread could not be had or a piece failed.
bool ParseInTwoPieces(AppState& state, std::string_view text, std::size_t split) {
  std::promise<std::size_t> secondCount;
  std::future<std::size_t> secondCountLater = secondCount.get_future();
  std::promise<FixRecord*> secondSlots;
  std::future<FixRecord*> secondSlotsLater = secondSlots.get_future();
  std::int32_t secondCounter = 1;
  std::size_t secondMade = 0;
  bool secondDone = false;
  std::thread worker;
  try {
    worker = std::thread([&]() noexcept {
      try {
        secondCount.set_value(CountRmcIdentifiers(text.substr(split)));
        FixRecord* const out = secondSlotsLater.get();
        if (out == nullptr) return;
        secondMade = ParseLines(text, split, text.size(), secondCounter, out);
        secondDone = true;
      } catch (...) {
      }
    });
  } catch (const std::exception&) {
    return false;
  }
  std::int32_t counter = state.fixCounter;
  std::size_t firstSlots = 0;
  std::size_t firstMade = 0;
  bool firstDone = false;
  bool slotsGiven = false;
  try {
    firstSlots = CountRmcIdentifiers(text.substr(0, split)) + 1;
    MakeSlots(state.fixList, firstSlots + secondCountLater.get() + 1);
    secondSlots.set_value(state.fixList.Records().data() + firstSlots);
    slotsGiven = true;
    firstMade = ParseLines(text, 0, split, counter, state.fixList.Records().data());
    firstDone = true;
  } catch (...) {
  }
  if (!slotsGiven) {
    try {
      secondSlots.set_value(nullptr);
    } catch (...) {
    }
  }
  worker.join();
  RecordBlock& records = state.fixList.Records();
  if (!firstDone || !secondDone) {
    records.clear();
    return false;
  }
  // The same 32-bit wrap as the counter itself.
  const auto base = static_cast<std::uint32_t>(counter) - 1u;
  FixRecord* const second = records.data() + firstSlots;
  for (std::size_t i = 0; i < secondMade; ++i) {
    if (second[i].sequence != 0) {
      second[i].sequence = static_cast<std::int32_t>(static_cast<std::uint32_t>(second[i].sequence) + base);
    }
  }
  state.fixCounter = static_cast<std::int32_t>(static_cast<std::uint32_t>(secondCounter) + base);
  // The slots between the pieces: those of RMC identifiers that made no
  // record, and the first piece's waiting one.
  std::copy(second, second + secondMade, records.begin() + static_cast<std::ptrdiff_t>(firstMade));
  records.resize(firstMade + secondMade);
  return true;
}

}  // namespace

std::size_t PieceStart(std::string_view text, std::size_t from) {
  if (from == 0) return 0;
  const std::size_t lineEnd = FindByte(text, '\n', from);
  std::size_t start = text.size();
  if (lineEnd == std::string_view::npos) return start;
  ForEachLine(text, lineEnd + 1, text.size(), [&](std::size_t lineStart, std::string_view, const LineMarks& marks) {
    if (marks.gga == std::string_view::npos) return true;
    start = lineStart;
    return false;
  });
  return start;
}

void ParsePiece(std::string_view text, std::size_t begin, std::size_t end, RecordBlock& records) {
  // No record takes fewer characters than "$GPGGA$GPRMC" and its LF, so the
  // slots are bounded without counting the identifiers first: the lines that
  // end by `end`, one more record from a line that runs past it, and the
  // slot of the record that may still wait. The line loop clears each slot
  // it fills, so the block's earlier records need no clearing.
  constexpr std::size_t kShortestRecord = kGgaId.size() + kRmcId.size() + 1;
  records.ResizeForOverwrite((end - begin) / kShortestRecord + 2);
  std::int32_t counter = 1;
  records.resize(ParseLines(text, begin, end, counter, records.data()));
}

void ParseRawLog(AppState& state) { ParseRawLogText(state, kTwoPieceMinimumSize); }

void ParseRawLogText(AppState& state, std::size_t twoPieceMinimumSize) {
  if (!state.rawLogText) return;
  // Records point into the text they were parsed from, so the list is built
  // afresh for this text.
  state.fixList.Free();
  state.fixList.SetText(state.rawLogText);
  const std::string_view text(*state.rawLogText);
  if (text.size() >= twoPieceMinimumSize) {
    const std::size_t split = FindSplit(text);
    if (split != std::string_view::npos && ParseInTwoPieces(state, text, split)) return;
  }
  MakeSlots(state.fixList, CountRmcIdentifiers(text) + 1);
  RecordBlock& records = state.fixList.Records();
  records.resize(ParseLines(text, 0, text.size(), state.fixCounter, records.data()));
}

}  // namespace quillon
