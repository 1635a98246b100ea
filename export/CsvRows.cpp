#include "export/CsvRows.h"

#include <array>

#include "logdata/Distance.h"

namespace quillon {

namespace {

// A cell that a spreadsheet reads as a plain number: a sign, then digits
// with at most one point among them.
bool IsPlainNumber(bool minus, std::string_view text) {
  if (!minus && !text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
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

// Text copied from the log as one cell, after a minus sign that the writer
// puts in front when `minus`. A cell that would start a formula in a
// spreadsheet (=, +, -, @, tab or CR first) and is not a plain number gets a
// leading apostrophe; a cell holding the separator, a quote, CR or LF is
// quoted, with its quotes doubled. A number, the log's normal content, is
// copied as is, and so is the sign alone, which spreadsheets take as text.
// What kinds of character a cell holds, one bit each, looked up per
// character.
enum CellCharacter : std::uint8_t { kDigitCharacter = 1, kPointCharacter = 2, kOtherCharacter = 4 };

constexpr std::array<std::uint8_t, 256> kCellCharacters = [] {
  std::array<std::uint8_t, 256> kinds{};
  for (std::size_t c = 0; c < kinds.size(); ++c) {
    kinds[c] = c >= '0' && c <= '9' ? kDigitCharacter : c == '.' ? kPointCharacter : kOtherCharacter;
  }
  return kinds;
}();

char* WriteLogCell(char* at, bool minus, std::string_view text) {
  // The log's normal content, digits and points, needs neither quotes nor an
  // apostrophe unless a sign in front makes it start like a formula.
  unsigned kinds = 0;
  for (char c : text) kinds |= kCellCharacters[static_cast<unsigned char>(c)];
  if ((kinds & kOtherCharacter) == 0 &&
      (!minus || text.empty() || ((kinds & kDigitCharacter) != 0 && std::count(text.begin(), text.end(), '.') <= 1))) {
    if (minus) *at++ = '-';
    if (!text.empty()) std::memcpy(at, text.data(), text.size());
    return at + text.size();
  }
  bool quote = false;
  for (char c : text) quote |= c == ',' || c == '"' || c == '\r' || c == '\n';
  const char first = minus ? '-' : (text.empty() ? '\0' : text[0]);
  const bool formula = !text.empty() && std::string_view("=+-@\t\r").find(first) != std::string_view::npos &&
                       !IsPlainNumber(minus, text);
  if (quote) *at++ = '"';
  if (formula) *at++ = '\'';
  if (minus) *at++ = '-';
  for (char c : text) {
    if (c == '"') *at++ = '"';
    *at++ = c;
  }
  if (quote) *at++ = '"';
  return at;
}

}  // namespace

SignedPosition PositionOf(const FixRecord& r) {
  return {ToSignedMicroDegrees(r.latitudeDegrees.View(), IsSouth(r)),
          ToSignedMicroDegrees(r.longitudeDegrees.View(), IsWest(r))};
}

std::int64_t MetresBetween(const SignedPosition& from, const SignedPosition& to) {
  return static_cast<std::int64_t>(DistanceMetres(from.latitude, from.longitude, to.latitude, to.longitude));
}

char* WriteRowCells(char* at, const FixRecord& r, bool useLocalTime) {
  at = WriteLogCell(at, IsWest(r), r.longitudeDegrees.View());
  *at++ = ',';
  at = WriteLogCell(at, IsSouth(r), r.latitudeDegrees.View());
  *at++ = ',';
  at = WriteInteger(at, KnotsToKilometresPerHour(r.speedKnots));
  *at++ = ',';
  at = WriteLogCell(at, false, r.courseText.View());
  *at++ = ',';
  at = WriteInteger(at, r.satellites);
  *at++ = ',';
  at = WriteTwoDecimals(at, r.hdop);
  *at++ = ',';
  at = WriteTwoDecimals(at, r.altitude);
  *at++ = ',';
  return WriteDateTime(at, r, useLocalTime);
}

void WriteCsvTotal(RowText& out, std::int64_t metres) {
  out.Append("Total distance : ");
  out.Written(WriteInteger(out.Room(kMaxIntegerText), metres));
  out.Append(" meters");
}

}  // namespace quillon
