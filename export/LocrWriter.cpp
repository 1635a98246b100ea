#include "export/LocrWriter.h"

#include "export/TrackmakerWriter.h"

namespace quillon {

std::string LocrFileName(const AppState& state) {
  return state.logStamp + "_locr_" + std::to_string(state.logSerial) + ".txt";
}

void WriteLocr(std::ostream& out, const FixList& selection) {
  out << kDatumLine << "\r\n";
  for (const FixRecord& r : selection.Records()) {
    std::string_view sentence = selection.RmcSentence(r);
    out.write(sentence.data(), static_cast<std::streamsize>(sentence.size()));
    out.put('\n');
  }
}

}  // namespace quillon
