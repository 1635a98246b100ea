#include "export/CsvWriter.h"

#include <cstdint>

#include "export/FixText.h"
#include "logdata/Distance.h"

namespace quillon {

namespace {

struct SignedPosition {
  std::int32_t latitude;
  std::int32_t longitude;
};

SignedPosition PositionOf(const FixRecord& r) {
  return {ToSignedMicroDegrees(r.latitudeDegrees.View(), IsSouth(r)),
          ToSignedMicroDegrees(r.longitudeDegrees.View(), IsWest(r))};
}

}  // namespace

std::string CsvFileName(const AppState& state) {
  return state.logStamp + "_LogData_" + std::to_string(state.logSerial) + ".csv";
}

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime) {
  out << kCsvHeader << "\r\n";
  std::int64_t total = 0;
  // Rows are gathered into chunks: one stream write per chunk would cost more
  // than the chunk's text.
  constexpr std::size_t kChunkSize = 1 << 16;
  std::string chunk;
  chunk.reserve(kChunkSize + 512);
  SignedPosition previous{};
  for (std::size_t i = 0; i < selection.Size(); ++i) {
    const FixRecord& r = selection[i];
    const SignedPosition position = PositionOf(r);
    std::int64_t metres = 0;
    if (i > 0) {
      metres = static_cast<std::int64_t>(
          DistanceMetres(previous.latitude, previous.longitude, position.latitude, position.longitude));
    }
    previous = position;
    total += metres;

    if (IsWest(r)) chunk += '-';
    chunk += r.longitudeDegrees.View();
    chunk += ',';
    if (IsSouth(r)) chunk += '-';
    chunk += r.latitudeDegrees.View();
    chunk += ',';
    AppendInteger(chunk, KnotsToKilometresPerHour(r.speedKnots));
    chunk += ',';
    chunk += r.courseText.View();
    chunk += ',';
    AppendInteger(chunk, r.satellites);
    chunk += ',';
    AppendTwoDecimals(chunk, r.hdop);
    chunk += ',';
    AppendTwoDecimals(chunk, r.altitude);
    chunk += ',';
    AppendDateTime(chunk, r, useLocalTime);
    AppendInteger(chunk, metres);
    chunk += '\n';
    if (chunk.size() >= kChunkSize) {
      out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
      chunk.clear();
    }
  }
  chunk += "Total distance : ";
  AppendInteger(chunk, total);
  chunk += " meters";
  out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

}  // namespace quillon
