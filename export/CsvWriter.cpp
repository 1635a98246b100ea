#include "export/CsvWriter.h"

#include <cstdint>
#include <exception>
#include <string_view>
#include <thread>

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

namespace {

// The rows of fixes [begin, end) of the selection, appended to `out` (which
// is written to `stream` whenever it passes a chunk, when a stream is given);
// the metres of the first row are those from the fix before `begin`. Returns
// the sum of the rows' metres.
std::int64_t AppendRows(std::string& out, std::ostream* stream, const FixList& selection, std::size_t begin,
                        std::size_t end, bool useLocalTime) {
  // One stream write per row would cost more than the row's text.
  constexpr std::size_t kChunkSize = 1 << 16;
  std::int64_t total = 0;
  SignedPosition previous = begin > 0 ? PositionOf(selection[begin - 1]) : SignedPosition{};
  for (std::size_t i = begin; i < end; ++i) {
    const FixRecord& r = selection[i];
    const SignedPosition position = PositionOf(r);
    std::int64_t metres = 0;
    if (i > 0) {
      metres = static_cast<std::int64_t>(
          DistanceMetres(previous.latitude, previous.longitude, position.latitude, position.longitude));
    }
    previous = position;
    total += metres;

    AppendLogCell(out, IsWest(r) ? "-" : "", r.longitudeDegrees.View());
    out += ',';
    AppendLogCell(out, IsSouth(r) ? "-" : "", r.latitudeDegrees.View());
    out += ',';
    AppendInteger(out, KnotsToKilometresPerHour(r.speedKnots));
    out += ',';
    AppendLogCell(out, "", r.courseText.View());
    out += ',';
    AppendInteger(out, r.satellites);
    out += ',';
    AppendTwoDecimals(out, r.hdop);
    out += ',';
    AppendTwoDecimals(out, r.altitude);
    out += ',';
    AppendDateTime(out, r, useLocalTime);
    AppendInteger(out, metres);
    out += '\n';
    if (stream && out.size() >= kChunkSize) {
      stream->write(out.data(), static_cast<std::streamsize>(out.size()));
      out.clear();
    }
  }
  return total;
}

// A large selection is formatted as two halves at once, the second on a
// worker thread into a text of its own that follows the first. The total is
// a sum of whole metres, so the halves' sums add up to the same number.
// False when no thread could be had; nothing is written then.
bool WriteRowsInTwoPieces(std::ostream& out, const FixList& selection, bool useLocalTime, std::int64_t& total) {
  const std::size_t middle = selection.Size() / 2;
  std::string second;
  std::int64_t secondTotal = 0;
  std::exception_ptr secondError;
  std::thread worker;
  try {
    worker = std::thread([&]() noexcept {
      try {
        second.reserve((selection.Size() - middle) * 80);
        secondTotal = AppendRows(second, nullptr, selection, middle, selection.Size(), useLocalTime);
      } catch (...) {
        secondError = std::current_exception();
      }
    });
  } catch (const std::exception&) {
    return false;
  }
  std::string first;
  std::exception_ptr firstError;
  try {
    first.reserve((1 << 16) + 512);
    total = AppendRows(first, &out, selection, 0, middle, useLocalTime);
  } catch (...) {
    firstError = std::current_exception();
  }
  worker.join();
  if (firstError) std::rethrow_exception(firstError);
  if (secondError) std::rethrow_exception(secondError);
  out.write(first.data(), static_cast<std::streamsize>(first.size()));
  out.write(second.data(), static_cast<std::streamsize>(second.size()));
  total += secondTotal;
  return true;
}

}  // namespace

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime) {
  WriteCsv(out, selection, useLocalTime, kCsvTwoPieceMinimumRows);
}

void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime, std::size_t twoPieceMinimumRows) {
  out << kCsvHeader << "\r\n";
  std::int64_t total = 0;
  std::string tail;
  if (selection.Size() < twoPieceMinimumRows || selection.Size() < 2 ||
      !WriteRowsInTwoPieces(out, selection, useLocalTime, total)) {
    tail.reserve((1 << 16) + 512);
    total = AppendRows(tail, &out, selection, 0, selection.Size(), useLocalTime);
  }
  tail += "Total distance : ";
  AppendInteger(tail, total);
  tail += " meters";
  out.write(tail.data(), static_cast<std::streamsize>(tail.size()));
}

}  // namespace quillon
