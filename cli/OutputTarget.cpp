#include "cli/OutputTarget.h"

#include <filesystem>
#include <fstream>

#include "platform/AtomicFileReplace.h"
#include "platform/LinkTarget.h"
#include "platform/Utf8Path.h"

namespace quillon {

namespace {

// A name for a descriptor the process already holds (/dev/stdout, /dev/fd/1,
// /proc/self/fd/1), followed through its links. Output sent there belongs at
// the descriptor's place in whatever it is open on: renaming a file over its
// target, or truncating it, would destroy what a shell redirection (">>")
// has put there before.
bool NamesAnOpenDescriptor(std::filesystem::path path) {
  for (int hop = 0; hop < 8; ++hop) {
    const std::string text = Utf8Text(path.lexically_normal());
    for (const char* prefix : {"/dev/fd/", "/proc/self/fd/", "/dev/stdout", "/dev/stderr"}) {
      if (text.starts_with(prefix)) return true;
    }
    std::error_code ec;
    if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, ec))) return false;
    std::filesystem::path next = std::filesystem::read_symlink(path, ec);
    if (ec) return false;
    path = next.is_absolute() ? next : path.parent_path() / next;
  }
  return false;
}

// Writes straight into what the path names; true when every byte got there.
bool WriteThrough(const std::filesystem::path& path, std::ios::openmode mode,
                  const std::function<void(std::ostream&)>& render) {
  std::ofstream out(path, std::ios::binary | mode);
  if (!out) return false;
  render(out);
  out.flush();
  const bool written = out.good();
  out.close();
  return written && !out.fail();
}

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

OutputResult WriteOutput(const std::string& path, const std::function<void(std::ostream&)>& render) {
  const std::filesystem::path target = Utf8Path(path);
  if (NamesAnOpenDescriptor(target)) return Outcome(target, WriteThrough(target, std::ios::app, render), true);
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(target, ec);
  if (std::filesystem::is_directory(status)) return Outcome(target, false, false);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    return Outcome(target, WriteThrough(target, std::ios::trunc, render), true);
  }
  return Outcome(target, WriteFileAtomically(path, render), false);
}

}  // namespace quillon
