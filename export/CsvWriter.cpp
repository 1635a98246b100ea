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
  std::string row;
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

    row.clear();
    if (IsWest(r)) row += '-';
    row += r.longitudeDegrees.View();
    row += ',';
    if (IsSouth(r)) row += '-';
    row += r.latitudeDegrees.View();
    row += ',';
    AppendInteger(row, KnotsToKilometresPerHour(r.speedKnots));
    row += ',';
    row += r.courseText.View();
    row += ',';
    AppendInteger(row, r.satellites);
    row += ',';
    AppendTwoDecimals(row, r.hdop);
    row += ',';
    AppendTwoDecimals(row, r.altitude);
    row += ',';
    AppendDateTime(row, r, useLocalTime);
    AppendInteger(row, metres);
    row += '\n';
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  row = "Total distance : ";
  AppendInteger(row, total);
  row += " meters";
  out.write(row.data(), static_cast<std::streamsize>(row.size()));
}

}  // namespace quillon
