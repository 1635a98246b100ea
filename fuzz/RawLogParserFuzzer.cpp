// libFuzzer target: the input is a raw log text. Runs the parse, the local
// times and the distances over it and checks what every reader of a record
// relies on: sentence spans inside the text and within their size, texts
// terminated within their field, degrees that match their coordinate text.
// Then selects from the fixes and writes every export of the selections.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>

#include "core/AppState.h"
#include "fuzz/ExportChecks.h"
#include "logdata/Distance.h"
#include "logdata/LocalTime.h"
#include "logdata/NmeaParser.h"
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
  state.rawLogText = MakeSharedText(input);
  quillon::ParseRawLog(state);

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

  quillon::fuzz::CheckExports(state);
  return 0;
}
