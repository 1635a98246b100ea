#include "platform/FileBytes.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>

#include "platform/Utf8Path.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

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

// A mapping of a whole file, and the descriptor that holds its lease; both
// go when the last share of the bytes does.
struct LeasedMapping {
  int fd = -1;
  void* address = MAP_FAILED;
  std::size_t size = 0;
  std::string_view view;

  LeasedMapping() = default;
  LeasedMapping(const LeasedMapping&) = delete;
  LeasedMapping& operator=(const LeasedMapping&) = delete;
  ~LeasedMapping() {
    if (address != MAP_FAILED) munmap(address, size);
    if (fd >= 0) close(fd);  // gives the lease up
  }
};

// Takes a read lease on `fd`. A program that breaks it is announced by a
// signal; SIGURG is one whose default is to be ignored, so the announcement
// does not end this one (the default, SIGIO, would).
bool TakeReadLease(int fd) { return fcntl(fd, F_SETSIG, SIGURG) == 0 && fcntl(fd, F_SETLEASE, F_RDLCK) == 0; }

}  // namespace

FileBytesOutcome MapFileBytes(const std::string& path, std::uint64_t maxBytes,
                              std::shared_ptr<const std::string_view>& bytes) {
  auto mapping = std::make_shared<LeasedMapping>();
  mapping->fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  // The size is read once the lease holds: no one can change the file from
  // then on. Only a regular file takes a lease.
  struct stat status {};
  if (mapping->fd < 0 || !TakeReadLease(mapping->fd) || fstat(mapping->fd, &status) != 0 ||
      static_cast<std::uint64_t>(status.st_size) > maxBytes ||
      static_cast<std::uint64_t>(status.st_size) > std::numeric_limits<std::size_t>::max() / 2) {
    return ReadFileBytes(path, maxBytes, bytes);
  }
  mapping->size = static_cast<std::size_t>(status.st_size);
  if (mapping->size > 0) {
    mapping->address = mmap(nullptr, mapping->size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, mapping->fd, 0);
    if (mapping->address == MAP_FAILED) return ReadFileBytes(path, maxBytes, bytes);
    mapping->view = std::string_view(static_cast<const char*>(mapping->address), mapping->size);
  }
  bytes = std::shared_ptr<const std::string_view>(mapping, &mapping->view);
  return FileBytesOutcome::kRead;
}

#endif

#ifndef __linux__

// Without leases a mapping could lose its pages under the reader: the bytes
// are read.
FileBytesOutcome MapFileBytes(const std::string& path, std::uint64_t maxBytes,
                              std::shared_ptr<const std::string_view>& bytes) {
  return ReadFileBytes(path, maxBytes, bytes);
}

#endif

#ifdef _WIN32

namespace {

class StdioPositionalFile final : public PositionalFile {
 public:
  StdioPositionalFile(std::FILE* file, std::uint64_t size) : file_(file) { size_ = size; }
  ~StdioPositionalFile() override { std::fclose(file_); }

  std::size_t ReadAt(std::uint64_t offset, char* to, std::size_t count) const override {
    // One file position for every thread: a seek and its read go together.
    std::lock_guard<std::mutex> lock(mutex_);
    if (_fseeki64(file_, static_cast<long long>(offset), SEEK_SET) != 0) return 0;
    return std::fread(to, 1, count, file_);
  }

 private:
  std::FILE* file_;
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
  file = std::make_unique<StdioPositionalFile>(opened, static_cast<std::uint64_t>(length));
  return FileBytesOutcome::kRead;
}

#else

namespace {

class DescriptorPositionalFile final : public PositionalFile {
 public:
  DescriptorPositionalFile(int fd, std::uint64_t size) : fd_(fd) { size_ = size; }
  ~DescriptorPositionalFile() override { close(fd_); }  // gives a lease up

  std::size_t ReadAt(std::uint64_t offset, char* to, std::size_t count) const override {
    std::size_t done = 0;
    while (done < count) {
      const ssize_t n = pread(fd_, to + done, count - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
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
  const auto size = static_cast<std::uint64_t>(status.st_size);
  if (size > maxBytes) {
    close(fd);
    return FileBytesOutcome::kTooLarge;
  }
  file = std::make_unique<DescriptorPositionalFile>(fd, size);
  return FileBytesOutcome::kRead;
}

#endif

}  // namespace quillon
