#include "logdata/OpenRawLog.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/ControlIds.h"
#include "core/MessageTexts.h"
#include "logdata/RawLogLoader.h"
#include "logdata/RawLogSelection.h"
#include "platform/SystemClock.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

bool AllDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

bool FollowsRawLogPattern(std::string_view name) {
  constexpr std::string_view kInfix = "_Rawdata_";
  constexpr std::size_t kStamp = 14;
  if (name.size() < kStamp + kInfix.size() + 1 + 4) return false;
  std::string_view suffix = name.substr(name.size() - 4);
  bool txt = suffix.size() == 4 && suffix[0] == '.' && (suffix[1] | 0x20) == 't' && (suffix[2] | 0x20) == 'x' &&
             (suffix[3] | 0x20) == 't';
  return txt && AllDigits(name.substr(0, kStamp)) && name.substr(kStamp, kInfix.size()) == kInfix &&
         AllDigits(name.substr(kStamp + kInfix.size(), name.size() - 4 - kStamp - kInfix.size()));
}

std::string LocalStamp(std::time_t when) {
  const std::tm local = LocalCalendarTime(when);
  char stamp[80];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d%02d%02d%02d", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour, local.tm_min, local.tm_sec);
  return stamp;
}

std::time_t ModifiedTime(const std::filesystem::path& path) {
  std::error_code error;
  auto written = std::filesystem::last_write_time(path, error);
  if (error) return std::time(nullptr);
  auto system = std::chrono::file_clock::to_sys(written);
  return std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(system));
}

// Label 1031 and the export frame speak of paths relative to the working
// directory, as the start-up's "Rawdata/<name>" is; a file elsewhere keeps its
// full path.
std::string WorkingPath(const std::string& path) {
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(Utf8Path(path), error);
  if (error) return path;
  std::filesystem::path relative = absolute.lexically_normal().lexically_relative(std::filesystem::current_path(error));
  if (error || relative.empty() || *relative.begin() == "..") return Utf8Text(absolute.lexically_normal());
  return Utf8Text(relative);
}

}  // namespace

OpenedLogName NameOpenedRawLog(std::string_view fileName, std::time_t modified) {
  if (FollowsRawLogPattern(fileName)) {
    AppState scratch;
    ConsiderRawLogName(scratch, fileName);
    return {scratch.logStamp, scratch.logSerial};
  }
  return {LocalStamp(modified), 0};
}

std::optional<std::string> WhyRawLogUnreadable(const std::string& path) {
  std::error_code error;
  std::filesystem::file_status status = std::filesystem::status(Utf8Path(path), error);
  if (!std::filesystem::exists(status)) return "the file does not exist";
  if (std::filesystem::is_directory(status)) return "it is a folder, not a file";
  if (!std::filesystem::is_regular_file(status)) return "it is not a regular file";
  std::FILE* file = OpenUtf8File(path, "rb");
  if (file == nullptr) return std::strerror(errno);
  std::fclose(file);
  return std::nullopt;
}

bool OpenRawLogFile(AppState& state, WindowView& view, const std::string& path) {
  if (std::optional<std::string> why = WhyRawLogUnreadable(path)) {
    view.ShowMessage("Can't open " + path + ": " + *why + ". The log loaded before stays.", kInfoCaption);
    return false;
  }
  const std::filesystem::path file = Utf8Path(path);
  const std::string fileName = Utf8Text(file.filename());
  OpenedLogName name = NameOpenedRawLog(fileName, ModifiedTime(file));
  if (!state.newestRuleName)
    state.newestRuleName = AppState::AdoptedName{state.logStamp, state.logSerial, state.logFileName};
  state.logStamp = name.stamp;
  state.logSerial = name.serial;
  state.logFileName = fileName;
  state.rawLogPath = WorkingPath(path);
  state.fixList.Free();
  state.tagBox.Clear();
  view.SetItemText(ids::kFileNameLabel, state.rawLogPath);
  LoadChosenRawLog(state, view);
  return true;
}

}  // namespace quillon
