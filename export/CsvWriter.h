#pragma once

#include <cstddef>
#include <ostream>
#include <string>

#include "core/AppState.h"
#include "core/FixList.h"

namespace quillon {

inline constexpr char kCsvHeader[] =
    "Longitude,Latitude,Speed(kilometer),Course(degrees),Number Of Satellites,HDOP,Altitude(meters),"
    "DD/MM/YY,HH:MM:SS,Distance(meters)";

// "<logStamp>_LogData_<logSerial>.csv"
std::string CsvFileName(const AppState& state);

// The CSV table of the selection: the header line (CR LF), one row per fix
// (LF) with the whole metres from the row before, and the total line with no
// line end.
void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime);

// From this many rows on, the rows are formatted on two threads, in blocks
// of kCsvBlockRows rows that the two take in turn.
inline constexpr std::size_t kCsvTwoPieceMinimumRows = 20000;
inline constexpr std::size_t kCsvBlockRows = 8192;

// WriteCsv with the row count from which it uses two threads and the rows
// of a block; the bytes are the same whatever those counts are.
void WriteCsv(std::ostream& out, const FixList& selection, bool useLocalTime, std::size_t twoPieceMinimumRows,
              std::size_t blockRows = kCsvBlockRows);

}  // namespace quillon
