#include "logdata/RawLogSelection.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/ControlIds.h"
#include "core/MessageTexts.h"
#include "logdata/LocalTime.h"
#include "logdata/NumberText.h"
#include "logdata/RangeAndTags.h"
#include "logdata/RawLogLoader.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

constexpr std::size_t kStampLength = 14;
constexpr std::string_view kRawdataInfix = "_Rawdata_";
constexpr std::string_view kTxtSuffix = ".txt";

std::string_view Piece(std::string_view text, std::size_t position, std::size_t length) {
  return position < text.size() ? text.substr(position, length) : std::string_view();
}

// The first usable name since start-up: everything before its first '_' is
// the stamp, the serial sits between "_Rawdata_" and ".txt".
bool AdoptFirstName(AppState& state, std::string_view fileName) {
  std::size_t underscore = fileName.find('_');
  if (underscore == std::string_view::npos) return false;
  state.logStamp = std::string(fileName.substr(0, underscore));
  state.logFileName = std::string(fileName);
  std::string_view rest = fileName.substr(underscore);
  if (rest.size() < kRawdataInfix.size() + kTxtSuffix.size()) return true;
  state.logSerial =
      LeadingUnsigned(rest.substr(kRawdataInfix.size(), rest.size() - kRawdataInfix.size() - kTxtSuffix.size()));
  return true;
}

// A later name: adopted only when its stamp is strictly newer.
bool AdoptNewerName(AppState& state, std::string_view fileName) {
  if (fileName.size() < kStampLength) return false;
  std::int32_t newDate = LeadingInt(Piece(fileName, 0, 8));
  std::int32_t newTime = LeadingInt(Piece(fileName, 8, 6));
  std::int32_t curDate = LeadingInt(Piece(state.logStamp, 0, 8));
  std::int32_t curTime = LeadingInt(Piece(state.logStamp, 8, 6));
  if (!(newDate > curDate || (newDate == curDate && newTime > curTime))) return false;
  state.logStamp = std::string(fileName.substr(0, kStampLength));
  state.logFileName = std::string(fileName);
  std::size_t serialStart = kStampLength + kRawdataInfix.size();
  std::size_t dot = fileName.find('.');
  std::string_view serial;
  if (dot != std::string_view::npos && dot > serialStart) serial = fileName.substr(serialStart, dot - serialStart);
  state.logSerial = LeadingUnsigned(serial);
  return true;
}

bool EndsWithTxt(const std::string& name) {
  if (name.size() < kTxtSuffix.size()) return false;
  return std::equal(kTxtSuffix.begin(), kTxtSuffix.end(), name.end() - kTxtSuffix.size(),
                    [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b); });
}

std::string RebuiltName(const AppState& state) {
  return state.logStamp + std::string(kRawdataInfix) + std::to_string(state.logSerial) + std::string(kTxtSuffix);
}

}  // namespace

bool ConsiderRawLogName(AppState& state, std::string_view fileName) {
  return state.logStamp.empty() ? AdoptFirstName(state, fileName) : AdoptNewerName(state, fileName);
}

bool SelectNewestRawLog(AppState& state, WindowView& view) {
  bool anyFound = false;
  std::error_code error;
  std::filesystem::directory_iterator entries(kRawLogFolder, error);
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    std::error_code typeError;
    if (entries->is_directory(typeError)) continue;
    std::string name = Utf8Text(entries->path().filename());
    if (!EndsWithTxt(name)) continue;
    anyFound = true;
    ConsiderRawLogName(state, name);
  }
  if (!anyFound) {
    view.ShowMessage(kNoDumpFileMessage, kInfoCaption);
    return false;
  }
  // The file actually adopted is loaded, so a serial written with leading
  // zeros or beyond 32 bits still names its own file.
  std::string name = state.logFileName.empty() ? RebuiltName(state) : state.logFileName;
  state.rawLogPath = std::string(kRawLogFolder) + kPathSeparator + name;
  view.SetItemText(ids::kFileNameLabel, state.rawLogPath);
  return true;
}

void LoadChosenRawLog(AppState& state, WindowView& view) {
  ShowLoadOutcome(view, LoadRawLog(state));
  ParseRawLog(state);
  ComputeLocalTimes(state.fixList);
  ShowRangeAndTags(state, view);
}

void ReloadLogData(AppState& state, WindowView& view) {
  state.fixList.Free();
  // Every item goes, however many tag changes the previous log had.
  state.tagBox.Clear();
  if (state.newestRuleName) {
    state.logStamp = state.newestRuleName->stamp;
    state.logSerial = state.newestRuleName->serial;
    state.logFileName = state.newestRuleName->fileName;
    state.newestRuleName.reset();
  }
  if (!SelectNewestRawLog(state, view)) return;
  LoadChosenRawLog(state, view);
}

}  // namespace quillon
