#include "cli/OutputTarget.h"

#include <filesystem>
#include <fstream>

#include "platform/AtomicFileReplace.h"

namespace quillon {

namespace {

// A name for a descriptor the process already holds (/dev/stdout, /dev/fd/1,
// /proc/self/fd/1), followed through its links. Output sent there belongs at
// the descriptor's place in whatever it is open on: renaming a file over its
// target, or truncating it, would destroy what a shell redirection (">>")
// has put there before.
bool NamesAnOpenDescriptor(std::filesystem::path path) {
  for (int hop = 0; hop < 8; ++hop) {
    const std::string text = path.lexically_normal().string();
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

}  // namespace

bool WriteOutput(const std::string& path, const std::function<void(std::ostream&)>& render) {
  const std::filesystem::path target(path);
  if (NamesAnOpenDescriptor(target)) return WriteThrough(target, std::ios::app, render);
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(target, ec);
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    return !std::filesystem::is_directory(status) && WriteThrough(target, std::ios::trunc, render);
  }
  return WriteFileAtomically(path, render);
}

}  // namespace quillon
