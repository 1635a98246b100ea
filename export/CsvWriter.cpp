#include "export/CsvWriter.h"

#include <cstdint>
#include <string_view>

#include "export/FixText.h"
#include "logdata/Distance.h"

namespace quillon {

namespace {

struct SignedPosition {
  std::int32_t latitude;
  std::int32_t longitude;
};

// A cell that a spreadsheet reads as a plain number: a sign, then digits
// with at most one point among them.
bool IsPlainNumber(std::string_view sign, std::string_view text) {
  if (sign.empty() && !text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  bool digit = false;
  bool point = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

// Text copied from the log as one cell, after an optional sign that the
// writer puts in front. A cell that would start a formula in a spreadsheet
// (=, +, -, @, tab or CR first) and is not a plain number gets a leading
// apostrophe; a cell holding the separator, a quote, CR or LF is quoted, with
// its quotes doubled. A number, the log's normal content, is copied as is,
// and so is the sign alone, which spreadsheets take as text.
void AppendLogCell(std::string& out, std::string_view sign, std::string_view text) {
  bool quote = false;
  for (char c : text) quote |= c == ',' || c == '"' || c == '\r' || c == '\n';
  const char first = sign.empty() ? (text.empty() ? '\0' : text[0]) : sign[0];
  const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(first) != std::string_view::npos &&
                       !IsPlainNumber(sign, text);
  if (!quote && !formula) {
    out += sign;
    out += text;
    return;
  }
  if (quote) out += '"';
  if (formula) out += '\'';
  out += sign;
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  if (quote) out += '"';
}

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

    AppendLogCell(chunk, IsWest(r) ? "-" : "", r.longitudeDegrees.View());
    chunk += ',';
    AppendLogCell(chunk, IsSouth(r) ? "-" : "", r.latitudeDegrees.View());
    chunk += ',';
    AppendInteger(chunk, KnotsToKilometresPerHour(r.speedKnots));
    chunk += ',';
    AppendLogCell(chunk, "", r.courseText.View());
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
