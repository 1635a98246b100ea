#include "orvex/RawLogFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "api/DeviceCodes.h"

namespace quillon::orvex {
namespace {

namespace fs = std::filesystem;

// Makes a finished rename survive a power cut as well.
void SyncFolder(const fs::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Renames only when the target does not exist, atomically; file systems
// without the no-replace rename get the same guarantee from link + unlink.
bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  if (::link(from.c_str(), to.c_str()) != 0) return false;
  ::unlink(from.c_str());
  return true;
}

}  // namespace

int RawLogFile::Begin(const std::string& fileName) {
  if (const int result = PrepareTarget(fileName); result != 0) return result;
  const fs::path path(fileName);
  const fs::path folder = path.parent_path();
  const std::string temporaryName = (folder / ("." + path.filename().string() + ".part")).string();
  // Whatever holds the name already (a crashed dump's remains, or a link
  // planted to make us write elsewhere) is removed, never opened: the file is
  // created anew, and if the name is taken again in between we fail instead
  // of following it.
  ::unlink(temporaryName.c_str());
  fd_ = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd_ < 0) return code::kCantBuildOutputFile;
  temporaryName_ = temporaryName;
  return 0;
}

int RawLogFile::Append(std::string_view text) {
  while (!text.empty()) {
    ssize_t written = ::write(fd_, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return code::kCantOpenDumpFile;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

int RawLogFile::Commit() {
  if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
    fd_ = -1;
    return code::kCantOpenStorDbFile;
  }
  fd_ = -1;
  if (!RenameWithoutReplacing(temporaryName_, finalName_)) {
    return errno == EEXIST ? code::kCantBuildDumpFile : code::kCantOpenOutputFile;
  }
  committed_ = true;
  SyncFolder(fs::path(finalName_).parent_path());
  return 0;
}

void RawLogFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporaryName_.empty()) ::unlink(temporaryName_.c_str());
}

}  // namespace quillon::orvex
