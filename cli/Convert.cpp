#include "cli/Convert.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/OutputTarget.h"
#include "core/AppState.h"
#include "core/MessageTexts.h"
#include "export/CsvOfRawLog.h"
#include "export/CsvWriter.h"
#include "export/GpxExport.h"
#include "export/KmlWriter.h"
#include "export/LocrWriter.h"
#include "export/RangeSelection.h"
#include "export/TrackmakerWriter.h"
#include "logdata/LocalTime.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogPieces.h"
#include "logdata/RawLogSelection.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

constexpr char kProgram[] = "quillon-convert: ";

std::string DefaultOutputName(const AppState& state, ConvertFormat format) {
  switch (format) {
    case ConvertFormat::kKml:
      return KmlFileName(state);
    case ConvertFormat::kTrackmaker:
      return kTrackmakerFileName;
    case ConvertFormat::kLocr:
      return LocrFileName(state);
    case ConvertFormat::kGpx:
      return GpxFileName(state);
    case ConvertFormat::kCsv:
      break;
  }
  return CsvFileName(state);
}

// Returns the fixes the format had to leave out.
std::size_t Render(std::ostream& out, const AppState& state, ConvertFormat format, bool useLocalTime) {
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
    case ConvertFormat::kGpx:
      return WriteGpxOfSelection(out, state).leftOut;
  }
  return 0;
}

}  // namespace

const char* OpenProblem(const std::string& path) {
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(Utf8Path(path), ec);
  if (ec == std::errc::filename_too_long) return "the name is longer than the system allows";
  if (ec == std::errc::too_many_symbolic_link_levels) return "it is a link that leads round in a circle";
  if (ec == std::errc::permission_denied) return "permission denied";
  switch (status.type()) {
    case std::filesystem::file_type::not_found:
      return "no such file";
    case std::filesystem::file_type::directory:
      return "it is a folder";
    case std::filesystem::file_type::fifo:
      return "it is not a regular file: a pipe";
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
      return "it is not a regular file: a device";
    case std::filesystem::file_type::socket:
      return "it is not a regular file: a socket";
    default:
      break;
  }
  return "it cannot be opened";
}

namespace {

// The output would replace the raw log it is made from: the same file by
// identity, however either is spelled (links, "./", hard links, /dev/stdout
// redirected to it).
bool IsTheRawLog(const std::string& output, const std::string& rawLog) {
  std::error_code ec;
  return std::filesystem::equivalent(Utf8Path(output), Utf8Path(rawLog), ec) && !ec;
}

// Whether the raw log could be read; the reason in the command line's words
// when not.
bool Readable(LoadOutcome outcome, const std::string& path, std::ostream& err) {
  switch (outcome) {
    case LoadOutcome::kLoaded:
      return true;
    case LoadOutcome::kCannotOpen:
      err << kProgram << "cannot read '" << path << "': " << OpenProblem(path) << '\n';
      return false;
    case LoadOutcome::kMemoryNotEnough:
      break;
  }
  err << kProgram << "cannot load '" << path << "' into memory\n";
  return false;
}

// The output names the raw log just opened: checked again on the open file,
// since the name may have come to lead to it only now (standard output
// closed when the program started, a link changed in between).
bool IsTheOpenedLog(const PositionalFile& log, const std::string& output) {
  const std::optional<int> fd = HeldDescriptor(output);
  return fd ? log.IsOpenAs(*fd) : log.IsFileAt(output);
}

int RefuseTheRawLog(const std::string& output, std::ostream& err) {
  err << kProgram << "the output '" << output << "' is the raw log itself; nothing written\n";
  return kConvertRefused;
}

// A conversion of a log that another program changed while it was read
// would mix two states of the file, or leave a gap.
int SayChanged(const ConvertOptions& options, bool intoStream, std::ostream& err) {
  err << kProgram << "'" << options.rawLog << "' changed while it was read; "
      << (intoStream ? "what was written is not to be trusted\n" : "nothing written\n");
  return kConvertFailed;
}

}  // namespace

const char* RefusalText(RangeOutcome outcome) {
  switch (outcome) {
    case RangeOutcome::kNoDate:
      return kNoDateMessage;
    case RangeOutcome::kBadRange:
      return kBadRangeMessage;
    case RangeOutcome::kNoRangeChosen:
      return kNoRangeMessage;
    case RangeOutcome::kSelected:
    case RangeOutcome::kNoFixes:
      break;
  }
  return nullptr;
}

namespace {

void SayNoFix(const ConvertOptions& options, std::ostream& err) {
  err << kProgram << "'" << options.rawLog << "' holds no position fix; nothing written\n";
}

// Whether the output went anywhere, in the command line's words.
int Finished(const OutputResult& result, const std::string& path, std::size_t leftOut, std::ostream& out,
             std::ostream& err) {
  if (!result.written) {
    err << kProgram << "cannot write '" << path << "': " << result.problem << '\n';
    return kConvertFailed;
  }
  if (leftOut > 0) err << kProgram << GpxLeftOutText(leftOut) << '\n';
  // Output sent to a stream (-o /dev/stdout, a device, a pipe) stays the data alone.
  if (!result.intoStream) out << path << '\n';
  return kConvertOk;
}

// The CSV table straight from the raw log, read piece by piece, without a
// Fix List or a Selection List: the same bytes, in a fraction of the memory
// and time. As on the list path, a log without a fix is refused before the
// output is opened (normally only its first piece is parsed twice for that).
// The log is checked for changes once all of it has been read: a file
// output is then not put in place, and the previous one stays.
int ConvertToCsv(const PositionalFile& file, const RangeFilter& filter, const ConvertOptions& options,
                 const std::string& path, std::ostream& out, std::ostream& err) {
  const RawLogSource log{file.Size(), [&file](std::uint64_t offset, char* to, std::size_t count) {
                           return file.ReadAt(offset, to, count);
                         }};
  if (!RawLogHoldsAFix(log, kCsvPieceSize)) {
    SayNoFix(options, err);
    return kConvertFailed;
  }
  bool changed = false;
  const OutputResult result = WriteOutput(path, [&](std::ostream& output) {
    WriteCsvOfRawLog(output, log, filter, options.useLocalTime);
    changed = file.ChangedSinceOpened();
    if (changed) output.setstate(std::ios::badbit);
  });
  if (changed) return SayChanged(options, result.intoStream, err);
  return Finished(result, path, 0, out, err);
}

}  // namespace

int RunConvert(const ConvertOptions& options, std::ostream& out, std::ostream& err) {
  AppState state;
  // The default output name comes from the raw log's name alone, so the
  // output is known, and checked, before anything is read.
  ConsiderRawLogName(state, Utf8Text(Utf8Path(options.rawLog).filename()));
  const std::string path = options.outputPath.value_or(DefaultOutputName(state, options.format));
  if (IsTheRawLog(path, options.rawLog)) return RefuseTheRawLog(path, err);
  std::unique_ptr<PositionalFile> file;
  if (!Readable(OpenRawLogForPieces(options.rawLog, file), options.rawLog, err)) return kConvertFailed;
  if (IsTheOpenedLog(*file, path)) return RefuseTheRawLog(path, err);
  RangeRequest request;
  request.mode = RangeModeOf(options.range);
  request.dateTexts = options.dateTexts;
  request.tagText = options.tagText;
  request.useLocalTime = options.useLocalTime;
  RangeFilter filter;
  if (options.format == ConvertFormat::kCsv && MakeRangeFilter(request, filter) == RangeOutcome::kSelected) {
    return ConvertToCsv(*file, filter, options, path, out, err);
  }
  state.rawLogPath = options.rawLog;
  if (!Readable(LoadRawLogFrom(state, *file), options.rawLog, err)) return kConvertFailed;
  if (file->ChangedSinceOpened()) return SayChanged(options, false, err);
  file.reset();

  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);
  const RangeOutcome outcome = PrepareSelection(state, request);
  if (const char* refusal = RefusalText(outcome)) {
    err << refusal << '\n';
    return kConvertRefused;
  }
  if (outcome == RangeOutcome::kNoFixes) {
    SayNoFix(options, err);
    return kConvertFailed;
  }
  // The selection keeps the raw text alive; the Fix List is not needed any more.
  state.fixList.Free();

  std::size_t leftOut = 0;
  const OutputResult result = WriteOutput(
      path, [&](std::ostream& file) { leftOut = Render(file, state, options.format, options.useLocalTime); });
  return Finished(result, path, leftOut, out, err);
}

}  // namespace quillon
