// libFuzzer target: the input is a raw log text. Runs the parse, the local
// times and the distances over it and checks what every reader of a record
// relies on: sentence spans inside the text and within their size, texts
// terminated within their field, degrees that match their coordinate text.
// The same text is also parsed in two parts, as large texts are, and must
// give the same records and counter as the one-piece parse.
#include <cstdint>
#include <cstdlib>
#include <bit>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "core/AppState.h"
#include "logdata/Distance.h"
#include "logdata/LocalTime.h"
#include "logdata/NmeaParser.h"
#include "logdata/ParallelParse.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogSelection.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

template <std::size_t N>
void RequireTerminated(const quillon::FixedText<N>& text) {
  Require(std::memchr(text.data, '\0', N) != nullptr);
}

// The degrees a record holds are those of the coordinate text it holds.
void RequireDegreesOf(const quillon::FixedText<15>& text, const quillon::FixedText<15>& degrees) {
  quillon::FixedText<15> expected;
  quillon::ToDecimalDegrees(text.View(), expected);
  Require(expected.View() == degrees.View());
}

void CheckSpan(const quillon::TextSpan& span, std::size_t textSize) {
  Require(span.length <= quillon::kMaxSentenceLength);
  Require(std::size_t{span.offset} + span.length <= textSize);
}

template <std::size_t N>
void RequireSameText(const quillon::FixedText<N>& a, const quillon::FixedText<N>& b) {
  Require(std::memcmp(a.data, b.data, N) == 0);
}

void RequireSameSpan(const quillon::TextSpan& a, const quillon::TextSpan& b) {
  Require(a.offset == b.offset && a.length == b.length);
}

void RequireSameRecord(const quillon::FixRecord& a, const quillon::FixRecord& b) {
  Require(a.sequence == b.sequence && a.tag == b.tag && a.untagged == b.untagged);
  Require(a.northSouth == b.northSouth && a.eastWest == b.eastWest);
  Require(a.utcYear == b.utcYear && a.utcMonth == b.utcMonth && a.utcDay == b.utcDay);
  Require(a.utcHour == b.utcHour && a.utcMinute == b.utcMinute && a.utcSecond == b.utcSecond);
  Require(a.localYear == b.localYear && a.localMonth == b.localMonth && a.localDay == b.localDay);
  Require(a.localHour == b.localHour && a.localMinute == b.localMinute && a.localSecond == b.localSecond);
  Require(a.speedKnots == b.speedKnots && a.satellites == b.satellites);
  Require(std::bit_cast<std::uint64_t>(a.hdop) == std::bit_cast<std::uint64_t>(b.hdop));
  Require(std::bit_cast<std::uint64_t>(a.altitude) == std::bit_cast<std::uint64_t>(b.altitude));
  RequireSameText(a.latitudeText, b.latitudeText);
  RequireSameText(a.latitudeDegrees, b.latitudeDegrees);
  RequireSameText(a.longitudeText, b.longitudeText);
  RequireSameText(a.longitudeDegrees, b.longitudeDegrees);
  RequireSameText(a.courseText, b.courseText);
  RequireSameSpan(a.ggaSentence, b.ggaSentence);
  RequireSameSpan(a.rmcSentence, b.rmcSentence);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // A zone with daylight saving, so that offsets change within logs.
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  quillon::AppState state;
  // Start near the top of the counter's range so that its wrap is exercised.
  state.fixCounter = size % 2 ? 1 : 2147483640;
  state.rawLogText = std::make_shared<const std::string>(input);
  quillon::ParseRawLog(state);

  // Inputs are far below kParallelParseMinimumSize, so ParseRawLog scanned
  // in one piece; the same text is now split wherever it can be.
  quillon::AppState split;
  split.fixCounter = size % 2 ? 1 : 2147483640;
  split.rawLogText = state.rawLogText;
  quillon::ParseRawLogText(split, 0);
  Require(split.fixCounter == state.fixCounter);
  Require(split.fixList.Size() == state.fixList.Size());
  for (std::size_t i = 0; i < state.fixList.Size(); ++i) RequireSameRecord(split.fixList[i], state.fixList[i]);

  quillon::ComputeLocalTimes(state.fixList);

  const auto& records = state.fixList.Records();
  for (std::size_t i = 0; i < records.size(); ++i) {
    const quillon::FixRecord& r = records[i];
    CheckSpan(r.ggaSentence, size);
    CheckSpan(r.rmcSentence, size);
    RequireTerminated(r.latitudeText);
    RequireTerminated(r.latitudeDegrees);
    RequireTerminated(r.longitudeText);
    RequireTerminated(r.longitudeDegrees);
    RequireTerminated(r.courseText);
    RequireDegreesOf(r.latitudeText, r.latitudeDegrees);
    RequireDegreesOf(r.longitudeText, r.longitudeDegrees);
    Require(state.fixList.GgaSentence(r).size() == r.ggaSentence.length);
    if (i > 0) {
      const quillon::FixRecord& p = records[i - 1];
      double metres = quillon::DistanceMetres(
          quillon::ToSignedMicroDegrees(p.latitudeDegrees.View(), p.northSouth == 'S'),
          quillon::ToSignedMicroDegrees(p.longitudeDegrees.View(), p.eastWest == 'W'),
          quillon::ToSignedMicroDegrees(r.latitudeDegrees.View(), r.northSouth == 'S'),
          quillon::ToSignedMicroDegrees(r.longitudeDegrees.View(), r.eastWest == 'W'));
      Require(metres >= 0.0);
    }
  }

  // The same bytes as Raw Log File names, one per line.
  std::size_t start = 0;
  while (start < size) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = size;
    quillon::ConsiderRawLogName(state, input.substr(start, end - start));
    start = end + 1;
  }
  quillon::FixedText<15> degrees;
  quillon::ToDecimalDegrees(input.substr(0, 20), degrees);
  RequireTerminated(degrees);
  return 0;
}
