#include "cli/Convert.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli/ConsoleWindowView.h"
#include "core/AppState.h"
#include "core/ControlIds.h"
#include "export/AtomicOutputFile.h"
#include "export/CsvWriter.h"
#include "export/KmlWriter.h"
#include "export/LocrWriter.h"
#include "export/RangeSelection.h"
#include "export/TrackmakerWriter.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogSelection.h"

namespace quillon {

namespace {

constexpr char kProgram[] = "quillon-convert: ";

constexpr int kDateBoxes[8] = {ids::kFromYear, ids::kFromMonth, ids::kFromDay, ids::kFromHour,
                               ids::kToYear,   ids::kToMonth,   ids::kToDay,   ids::kToHour};

// Load failures are told in the tool's words for its window; the command line
// tells them itself.
class SilentBoxes : public MessageBoxes {
 public:
  MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons) override {
    ++count;
    return MessageAnswer::kOk;
  }
  int count = 0;
};

std::uint8_t RangeMode(ConvertRange range) {
  switch (range) {
    case ConvertRange::kByDate:
      return kRangeByDateMode;
    case ConvertRange::kByTag:
      return kRangeByTagMode;
    case ConvertRange::kAll:
      break;
  }
  return kRangeAllMode;
}

std::string DefaultOutputName(const AppState& state, ConvertFormat format) {
  switch (format) {
    case ConvertFormat::kKml:
      return KmlFileName(state);
    case ConvertFormat::kTrackmaker:
      return kTrackmakerFileName;
    case ConvertFormat::kLocr:
      return LocrFileName(state);
    case ConvertFormat::kCsv:
      break;
  }
  return CsvFileName(state);
}

void Render(std::ostream& out, const AppState& state, ConvertFormat format, bool useLocalTime) {
  switch (format) {
    case ConvertFormat::kCsv:
      WriteCsv(out, state.selectionList, useLocalTime);
      break;
    case ConvertFormat::kKml:
      WriteKml(out, state.selectionList);
      break;
    case ConvertFormat::kTrackmaker:
      WriteTrackmaker(out, state.selectionList, useLocalTime);
      break;
    case ConvertFormat::kLocr:
      WriteLocr(out, state.selectionList);
      break;
  }
}

bool Loaded(AppState& state, const std::string& path, std::ostream& err) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(path, ec);
  const char* problem = nullptr;
  if (!std::filesystem::exists(status)) {
    problem = "no such file";
  } else if (std::filesystem::is_directory(status)) {
    problem = "it is a folder";
  } else if (!std::ifstream(path, std::ios::binary)) {
    problem = "it cannot be opened";
  }
  if (problem) {
    err << kProgram << "cannot read '" << path << "': " << problem << '\n';
    return false;
  }
  state.rawLogPath = path;
  SilentBoxes boxes;
  LoadRawLog(state, boxes);
  if (boxes.count > 0 || !state.rawLogText) {
    err << kProgram << "cannot load '" << path << "' into memory\n";
    return false;
  }
  return true;
}

}  // namespace

int RunConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
  AppState state;
  if (!Loaded(state, options.rawLog, err)) return kConvertFailed;
  ConsiderRawLogName(state, std::filesystem::path(options.rawLog).filename().string());
  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);

  ConsoleWindowView view(err);
  for (int i = 0; i < 8; ++i) view.SetItemText(kDateBoxes[i], options.dateTexts[i]);
  view.SetItemText(ids::kTagBox, options.tagText);
  view.SetChecked(ids::kUseLocalTime, options.useLocalTime);
  state.rangeMode = RangeMode(options.range);

  if (!PrepareSelection(state, view)) {
    if (view.MessageCount() > 0) return kConvertRefused;
    err << kProgram << "'" << options.rawLog << "' holds no position fix; nothing written\n";
    return kConvertFailed;
  }
  // The selection keeps the raw text alive; the Fix List is not needed any more.
  state.fixList.Free();

  const std::string path = options.outputPath.value_or(DefaultOutputName(state, options.format));
  const bool written = WriteFileAtomically(
      path, [&](std::ostream& file) { Render(file, state, options.format, options.useLocalTime); });
  if (!written) {
    err << kProgram << "cannot write '" << path << "'\n";
    return kConvertFailed;
  }
  // Output sent to a device or a pipe (-o /dev/stdout) stays clean.
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) out << path << '\n';
  return kConvertOk;
}

}  // namespace quillon
