#include "platform/AtomicFileReplace.h"

#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "platform/LinkTarget.h"

namespace quillon {

namespace {

constexpr std::size_t kStreamBufferSize = 1 << 18;

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
  static std::atomic<unsigned> counter{0};
  static const unsigned seed = std::random_device{}();
  std::filesystem::path temp;
  std::error_code ec;
  do {
    std::string name = "." + target.filename().string() + "." + std::to_string(seed) + "-" +
                       std::to_string(counter++) + ".tmp";
    temp = target.parent_path() / name;
  } while (std::filesystem::exists(temp, ec));
  return temp;
}

}  // namespace

namespace {

// Puts the file's bytes on the disk before its name goes over the target, so
// that a power cut after the rename cannot leave the target empty or cut.
bool FlushToDisk(const std::filesystem::path& path) {
#ifdef _WIN32
  const int fd = _wopen(path.c_str(), _O_WRONLY | _O_BINARY);
  if (fd < 0) return false;
  const bool flushed = _commit(fd) == 0;
  _close(fd);
#else
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  const bool flushed = fsync(fd) == 0;
  close(fd);
#endif
  return flushed;
}

#ifndef _WIN32
// Makes the rename itself last.
void FlushFolder(const std::filesystem::path& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}
#endif

// Renders into an open stream; true when every byte reached the file.
bool RenderInto(std::ofstream& out, const std::function<void(std::ostream&)>& render) {
  render(out);
  out.flush();
  bool written = out.good();
  out.close();
  return written && !out.fail();
}

// Gives the temporary file the target's name, replacing the target in one step.
bool ReplaceWith(const std::filesystem::path& temp, const std::filesystem::path& target) {
#ifdef _WIN32
  // Write-through returns only once the move is on the disk, which stands in
  // for the folder flush POSIX systems need.
  return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) return false;
  FlushFolder(target.parent_path());
  return true;
#endif
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& render) {
  std::error_code ec;
  // Through symbolic links the file the last one names is replaced (or made
  // in its folder) and the links kept; a link is never replaced by a file.
  const std::filesystem::path target = FinalLinkTarget(path, ec);
  if (ec || target.filename().empty()) return false;

  const std::filesystem::path temp = TemporaryPathFor(target);
  bool written = false;
  {
    std::vector<char> buffer(kStreamBufferSize);
    std::ofstream out;
    out.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    out.open(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    // A render that cannot finish (memory gone) leaves no temporary file.
    try {
      written = RenderInto(out, render);
    } catch (const std::exception&) {
      written = false;
    }
  }
  if (written && FlushToDisk(temp) && ReplaceWith(temp, target)) return true;
  std::filesystem::remove(temp, ec);
  return false;
}

}  // namespace quillon
