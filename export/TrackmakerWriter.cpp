#include "export/TrackmakerWriter.h"

#include <string>

#include "export/FixText.h"

namespace quillon {

void WriteTrackmaker(std::ostream& out, const FixList& selection, bool useLocalTime) {
  out << kDatumLine << "\r\n";
  std::string line;
  bool first = true;
  for (const FixRecord& r : selection.Records()) {
    line = "TP,D,";
    if (IsWest(r)) line += '-';
    line += r.longitudeDegrees.View();
    line += ',';
    if (IsSouth(r)) line += '-';
    line += r.latitudeDegrees.View();
    line += ',';
    AppendDateTime(line, r, useLocalTime);
    line += first ? "1\n" : "0\n";
    first = false;
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace quillon
