#include "platform/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/Utf8Path.h"

#ifdef _WIN32
#include <io.h>
#include <sys/types.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

// What a copy between two files moves at a time where it passes through here.
constexpr std::size_t kCopyStep = std::size_t{1} << 20;

// Bytes held in a buffer of their own.
struct Buffer {
  std::unique_ptr<char[]> data;
  std::string_view view;
};

std::shared_ptr<const std::string_view> Shared(std::shared_ptr<Buffer> buffer) {
  return std::shared_ptr<const std::string_view>(buffer, &buffer->view);
}

// Reads `size` bytes (fewer when the file has shrunk since) with `read`,
// which returns how many it put at its destination, 0 at the end. The buffer
// is not cleared first: every byte kept is one the file gave.
template <typename Read>
FileBytesOutcome ReadIntoMemory(std::uint64_t size, Read&& read, std::shared_ptr<const std::string_view>& bytes) {
  if (size > std::numeric_limits<std::size_t>::max()) return FileBytesOutcome::kTooLarge;
  auto buffer = std::make_shared<Buffer>();
  const auto count = static_cast<std::size_t>(size);
  if (count > 0) {
    buffer->data.reset(new (std::nothrow) char[count]);
    if (!buffer->data) return FileBytesOutcome::kTooLarge;
    PreferHugePages(buffer->data.get(), count);
  }
  std::size_t done = 0;
  while (done < count) {
    const std::size_t n = read(buffer->data.get() + done, count - done);
    if (n == 0) break;
    done += n;
  }
  buffer->view = std::string_view(buffer->data.get(), done);
  bytes = Shared(std::move(buffer));
  return FileBytesOutcome::kRead;
}

}  // namespace

FileBytesOutcome ReadAllBytes(const PositionalFile& file, std::shared_ptr<const std::string_view>& bytes) {
  std::uint64_t offset = 0;
  return ReadIntoMemory(
      file.Size(),
      [&](char* to, std::size_t count) {
        const std::size_t n = file.ReadAt(offset, to, count);
        offset += n;
        return n;
      },
      bytes);
}

#ifdef _WIN32

FileBytesOutcome ReadFileBytes(const std::string& path, std::uint64_t maxBytes,
                               std::shared_ptr<const std::string_view>& bytes) {
  std::error_code error;
  // Only a regular file: a folder cannot be read and a pipe would block.
  if (!std::filesystem::is_regular_file(Utf8Path(path), error)) return FileBytesOutcome::kCannotOpen;
  std::FILE* file = OpenUtf8File(path, "rb");
  if (!file) return FileBytesOutcome::kCannotOpen;
  long long length = -1;
  if (_fseeki64(file, 0, SEEK_END) == 0) length = _ftelli64(file);
  std::rewind(file);
  FileBytesOutcome outcome = FileBytesOutcome::kTooLarge;
  if (length >= 0 && static_cast<std::uint64_t>(length) <= maxBytes) {
    outcome = ReadIntoMemory(
        static_cast<std::uint64_t>(length),
        [&](char* to, std::size_t size) { return std::fread(to, 1, size, file); }, bytes);
  }
  std::fclose(file);
  return outcome;
}

#else

FileBytesOutcome ReadFileBytes(const std::string& path, std::uint64_t maxBytes,
                               std::shared_ptr<const std::string_view>& bytes) {
  // Opening without waiting: a pipe is refused below instead of blocking here.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileBytesOutcome::kCannotOpen;
  struct stat status {};
  FileBytesOutcome outcome = FileBytesOutcome::kCannotOpen;
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    const auto size = static_cast<std::uint64_t>(status.st_size);
    outcome = FileBytesOutcome::kTooLarge;
    if (size <= maxBytes) {
      outcome = ReadIntoMemory(
          size,
          [&](char* to, std::size_t count) {
            ssize_t n = 0;
            do {
              n = read(fd, to, count);
            } while (n < 0 && errno == EINTR);
            return n > 0 ? static_cast<std::size_t>(n) : std::size_t{0};
          },
          bytes);
    }
  }
  close(fd);
  return outcome;
}

#endif

#ifdef __linux__

namespace {

// Takes a read lease on `fd`. A program that breaks it is announced by a
// signal; SIGURG is one whose default is to be ignored, so the announcement
// does not end this one (the default, SIGIO, would).
bool TakeReadLease(int fd) { return fcntl(fd, F_SETSIG, SIGURG) == 0 && fcntl(fd, F_SETLEASE, F_RDLCK) == 0; }

}  // namespace

#endif

#ifdef _WIN32

namespace {

struct Stamp {
  long long size = -1;
  long long modified = -1;
};

Stamp StampOf(std::FILE* file) {
  struct _stat64 status {};
  if (_fstat64(_fileno(file), &status) != 0) return {};
  return {status.st_size, status.st_mtime};
}

class StdioPositionalFile final : public PositionalFile {
 public:
  StdioPositionalFile(std::FILE* file, std::uint64_t size, std::string path)
      : file_(file), path_(std::move(path)), opened_(StampOf(file)) {
    size_ = size;
  }
  ~StdioPositionalFile() override { std::fclose(file_); }

  std::size_t ReadAt(std::uint64_t offset, char* to, std::size_t count) const override {
    // One file position for every thread: a seek and its read go together.
    std::lock_guard<std::mutex> lock(mutex_);
    if (_fseeki64(file_, static_cast<long long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(to, 1, count, file_);
  }

  bool ChangedSinceOpened() const override {
    const Stamp now = StampOf(file_);
    return now.size != opened_.size || now.modified != opened_.modified;
  }

  bool IsFileAt(const std::string& path) const override {
    std::error_code error;
    return std::filesystem::equivalent(Utf8Path(path), Utf8Path(path_), error) && !error;
  }

  bool IsOpenAs(int) const override { return false; }

  bool CopyTo(int fd, std::uint64_t offset) const override {
    std::vector<char> buffer(kCopyStep);
    while (offset < size_) {
      const std::size_t n = ReadAt(offset, buffer.data(), static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), size_ - offset)));
      if (n == 0) return false;
      for (std::size_t done = 0; done < n;) {
        const int written = _write(fd, buffer.data() + done, static_cast<unsigned>(n - done));
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
      }
      offset += n;
    }
    return true;
  }

 private:
  std::FILE* file_;
  std::string path_;
  Stamp opened_;
  mutable std::mutex mutex_;
};

}  // namespace

FileBytesOutcome OpenPositionalFile(const std::string& path, std::uint64_t maxBytes,
                                    std::unique_ptr<PositionalFile>& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(Utf8Path(path), error)) return FileBytesOutcome::kCannotOpen;
  std::FILE* opened = OpenUtf8File(path, "rb");
  if (!opened) return FileBytesOutcome::kCannotOpen;
  long long length = -1;
  if (_fseeki64(opened, 0, SEEK_END) == 0) length = _ftelli64(opened);
  if (length < 0 || static_cast<std::uint64_t>(length) > maxBytes) {
    std::fclose(opened);
    return FileBytesOutcome::kTooLarge;
  }
  file = std::make_unique<StdioPositionalFile>(opened, static_cast<std::uint64_t>(length), path);
  return FileBytesOutcome::kRead;
}

#else

namespace {

bool SameTime(const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

std::size_t ReadAtOffset(int fd, std::uint64_t offset, char* to, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t n = pread(fd, to + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

// How many bytes a file gives that says it holds none: those under /proc
// are made as they are read.
std::uint64_t CountedSize(int fd) {
  std::unique_ptr<char[]> buffer(new char[std::size_t{1} << 16]);
  std::uint64_t size = 0;
  while (const std::size_t n = ReadAtOffset(fd, size, buffer.get(), std::size_t{1} << 16)) size += n;
  return size;
}

class DescriptorPositionalFile final : public PositionalFile {
 public:
  DescriptorPositionalFile(int fd, std::uint64_t size, const struct stat& status) : fd_(fd), opened_(status) {
    size_ = size;
  }
  ~DescriptorPositionalFile() override { close(fd_); }  // gives a lease up

  std::size_t ReadAt(std::uint64_t offset, char* to, std::size_t count) const override {
    return ReadAtOffset(fd_, offset, to, count);
  }

  bool ChangedSinceOpened() const override {
    struct stat now {};
    return fstat(fd_, &now) != 0 || now.st_size != opened_.st_size || !SameTime(now.st_mtim, opened_.st_mtim) ||
           !SameTime(now.st_ctim, opened_.st_ctim);
  }

  bool IsFileAt(const std::string& path) const override {
    struct stat other {};
    return stat(path.c_str(), &other) == 0 && Same(other);
  }

  bool IsOpenAs(int fd) const override {
    struct stat other {};
    return fstat(fd, &other) == 0 && Same(other);
  }

  bool CopyTo(int fd, std::uint64_t offset) const override {
#ifdef __linux__
    // In the kernel: the bytes never come up into this process.
    auto from = static_cast<off_t>(offset);
    while (static_cast<std::uint64_t>(from) < size_) {
      const ssize_t n = copy_file_range(fd_, &from, fd, nullptr, size_ - static_cast<std::uint64_t>(from), 0);
      if (n < 0 && errno == EINTR) continue;
      if (n > 0) continue;
      if (n == 0) return false;  // the file is shorter than it was
      if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP) return false;
      break;  // not between these two files: copied below
    }
    offset = static_cast<std::uint64_t>(from);
#endif
    std::vector<char> buffer(kCopyStep);
    while (offset < size_) {
      const std::size_t n = ReadAtOffset(fd_, offset, buffer.data(), std::min<std::uint64_t>(buffer.size(), size_ - offset));
      if (n == 0) return false;
      for (std::size_t done = 0; done < n;) {
        const ssize_t written = write(fd, buffer.data() + done, n - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
      }
      offset += n;
    }
    return true;
  }

 private:
  bool Same(const struct stat& other) const { return other.st_dev == opened_.st_dev && other.st_ino == opened_.st_ino; }

  int fd_;
  struct stat opened_;
};

}  // namespace

FileBytesOutcome OpenPositionalFile(const std::string& path, std::uint64_t maxBytes,
                                    std::unique_ptr<PositionalFile>& file) {
  // Opening without waiting: a pipe is refused below instead of blocking here.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return FileBytesOutcome::kCannotOpen;
#ifdef __linux__
  // The size is read once the lease holds, where one can be had.
  TakeReadLease(fd);
#endif
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    close(fd);
    return FileBytesOutcome::kCannotOpen;
  }
  const auto size = status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : CountedSize(fd);
  if (size > maxBytes) {
    close(fd);
    return FileBytesOutcome::kTooLarge;
  }
  file = std::make_unique<DescriptorPositionalFile>(fd, size, status);
  return FileBytesOutcome::kRead;
}

#endif

}  // namespace quillon
