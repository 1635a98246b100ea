#include "platform/FileBytes.h"

#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/MemoryAdvice.h"

namespace quillon {

namespace {

// Bytes held in a string of their own.
std::shared_ptr<const std::string_view> Owned(std::string text) {
  struct Holder {
    std::string text;
    std::string_view view;
  };
  auto holder = std::make_shared<Holder>();
  holder->text = std::move(text);
  holder->view = holder->text;
  return std::shared_ptr<const std::string_view>(holder, &holder->view);
}

// Reads `size` bytes (fewer when the file has shrunk since) with `read`,
// which returns how many it put at its destination, 0 at the end.
template <typename Read>
FileBytesOutcome ReadIntoMemory(std::uint64_t size, Read&& read, std::shared_ptr<const std::string_view>& bytes) {
  std::string text;
  try {
    text.reserve(static_cast<std::size_t>(size));
    PreferHugePages(text.data(), text.capacity());
    text.resize(static_cast<std::size_t>(size));
  } catch (const std::bad_alloc&) {
    return FileBytesOutcome::kTooLarge;
  } catch (const std::length_error&) {
    return FileBytesOutcome::kTooLarge;
  }
  std::size_t done = 0;
  while (done < text.size()) {
    const std::size_t n = read(text.data() + done, text.size() - done);
    if (n == 0) break;
    done += n;
  }
  text.resize(done);
  bytes = Owned(std::move(text));
  return FileBytesOutcome::kRead;
}

}  // namespace

#ifdef _WIN32

FileBytesOutcome ReadFileBytes(const std::string& path, std::uint64_t maxBytes,
                               std::shared_ptr<const std::string_view>& bytes) {
  std::error_code error;
  // Only a regular file: a folder cannot be read and a pipe would block.
  if (!std::filesystem::is_regular_file(path, error)) return FileBytesOutcome::kCannotOpen;
  std::FILE* file = std::fopen(path.c_str(), "rb");
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

namespace {

// A read-only mapping of a whole file, unmapped with the last reference.
struct Mapping {
  Mapping(void* data, std::size_t size) : data(data), view(static_cast<const char*>(data), size) {}
  ~Mapping() { munmap(data, view.size()); }
  Mapping(const Mapping&) = delete;
  Mapping& operator=(const Mapping&) = delete;

  void* data;
  std::string_view view;
};

#ifdef MAP_POPULATE
// The pages are entered into the mapping at once rather than fault by fault.
constexpr int kPopulate = MAP_POPULATE;
#else
constexpr int kPopulate = 0;
#endif

}  // namespace

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
    if (size == 0) {
      bytes = Owned({});
      outcome = FileBytesOutcome::kRead;
    } else if (size <= maxBytes) {
      void* data = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE | kPopulate, fd, 0);
      if (data != MAP_FAILED) {
        try {
          auto mapping = std::make_shared<const Mapping>(data, static_cast<std::size_t>(size));
          bytes = std::shared_ptr<const std::string_view>(mapping, &mapping->view);
          outcome = FileBytesOutcome::kRead;
        } catch (const std::bad_alloc&) {
          munmap(data, static_cast<std::size_t>(size));
        }
      } else {
        outcome = ReadIntoMemory(
            size,
            [&](char* to, std::size_t count) {
              const ssize_t n = read(fd, to, count);
              return n > 0 ? static_cast<std::size_t>(n) : std::size_t{0};
            },
            bytes);
      }
    }
  }
  close(fd);
  return outcome;
}

#endif

}  // namespace quillon
