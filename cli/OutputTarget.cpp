#include "cli/OutputTarget.h"

#include <charconv>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/AtomicFileReplace.h"
#include "platform/LinkTarget.h"
#include "platform/Utf8Path.h"
#include "platform/StreamOutput.h"

namespace quillon {

namespace {

// Why the output could not be written to path, as far as the file system
// tells: what the path (or the end of its links) is, and whether its folder
// exists.
std::string WriteProblem(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::path end = FinalLinkTarget(path, ec);
  if (ec) return "it is a link that leads round in a circle";
  const bool viaLink = end != path;
  const std::string lead = viaLink ? "it leads to '" + Utf8Text(end) + "', " : "";
  if (std::filesystem::is_directory(end, ec)) return viaLink ? lead + "which is a folder" : "it is a folder";
  const std::filesystem::path folder = end.has_parent_path() ? end.parent_path() : ".";
  if (!std::filesystem::is_directory(folder, ec)) {
    return viaLink ? lead + "whose folder does not exist" : "its folder does not exist";
  }
  return viaLink ? lead + "which cannot be written" : "it cannot be written";
}

// The outcome of one attempt; the problem is looked up only for a failure.
OutputResult Outcome(const std::filesystem::path& path, bool written, bool intoStream) {
  OutputResult result;
  result.written = written;
  result.intoStream = intoStream;
  if (!written) result.problem = WriteProblem(path);
  return result;
}

}  // namespace

// Output sent to a descriptor the process holds is written through it, at
// its place in whatever it is open on: opening the name afresh would start
// at the beginning of a file a shell redirection (">") shares with other
// commands, and renaming a file over its target, or truncating it, would
// destroy what was put there before.
std::optional<int> HeldDescriptor(std::filesystem::path path) {
  if (path == "-") return 1;
  for (int hop = 0; hop < 8; ++hop) {
    const std::string text = Utf8Text(path.lexically_normal());
    const std::pair<const char*, int> streams[] = {{"/dev/stdin", 0}, {"/dev/stdout", 1}, {"/dev/stderr", 2}};
    for (const auto& [name, fd] : streams) {
      if (text == name) return fd;
    }
    for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
      if (!text.starts_with(prefix)) continue;
      const std::string_view number = std::string_view(text).substr(prefix.size());
      int fd = -1;
      const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), fd);
      if (error == std::errc() && end == number.data() + number.size()) return fd;
    }
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) return std::nullopt;
    std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) return std::nullopt;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return std::nullopt;
}

OutputResult WriteOutput(const std::string& path, const std::function<void(std::ostream&)>& render) {
  const std::filesystem::path target = Utf8Path(path);
  if (const std::optional<int> fd = HeldDescriptor(target)) {
    return Outcome(target, WriteToDescriptor(*fd, render), true);
  }
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(target, ec);
  if (std::filesystem::is_directory(status)) return Outcome(target, false, false);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    const DeviceWrite outcome = WriteToDevice(path, render);
    if (outcome != DeviceWrite::kNoReader) return Outcome(target, outcome == DeviceWrite::kWritten, true);
    OutputResult result;
    result.intoStream = true;
    result.problem = "it is a pipe that no program reads";
    return result;
  }
  return Outcome(target, WriteFileAtomically(path, render), false);
}

}  // namespace quillon
