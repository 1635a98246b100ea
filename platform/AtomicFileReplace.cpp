#include "platform/AtomicFileReplace.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>
#endif

#include "platform/LinkTarget.h"
#include "platform/Utf8Path.h"
#include "platform/RemoveOnSignal.h"

namespace quillon {

namespace {

constexpr std::size_t kStreamBufferSize = 1 << 18;

using NativeString = std::filesystem::path::string_type;

// The longest file name the common file systems take (ext4 in bytes, NTFS
// in UTF-16 units).
constexpr std::size_t kLongestName = 255;

#ifdef _WIN32
unsigned long ThisProcess() { return static_cast<unsigned long>(_getpid()); }
#else
unsigned long ThisProcess() { return static_cast<unsigned long>(getpid()); }
#endif

// Whether a unit of a name goes on a character begun before it (a UTF-8
// continuation byte, the second half of a UTF-16 surrogate pair), so that
// the name is not cut there.
[[maybe_unused]] bool ContinuesACharacter(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }
[[maybe_unused]] bool ContinuesACharacter(wchar_t c) { return (c & 0xFC00) == 0xDC00; }

// ".NAME.<process>-<counter>.tmp": hidden, next to the target, and telling
// which process writes it. NAME is cut short where the whole would be longer
// than a file name may be, so that a target of a legal name gets a legal
// temporary name.
NativeString TemporaryName(const NativeString& target, unsigned long process, unsigned long counter) {
  const std::filesystem::path suffix = "." + std::to_string(process) + "-" + std::to_string(counter) + ".tmp";
  NativeString name = target;
  const std::size_t room = kLongestName - 1 - suffix.native().size();
  if (name.size() > room) {
    std::size_t cut = room;
    while (cut > 0 && ContinuesACharacter(name[cut])) --cut;
    name.resize(cut);
  }
  return NativeString(1, '.') + name + suffix.native();
}

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
  static std::atomic<unsigned long> counter{0};
  std::filesystem::path temp;
  std::error_code ec;
  do {
    temp = target.parent_path() / TemporaryName(target.filename().native(), ThisProcess(), counter++);
  } while (std::filesystem::exists(temp, ec));
  return temp;
}

#ifdef _WIN32
bool ProcessIsGone(unsigned long) { return false; }
#else
bool ProcessIsGone(unsigned long process) {
  return process > 1 && process <= static_cast<unsigned long>(INT_MAX) && process != ThisProcess() &&
         kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}
#endif

// The process and counter of a temporary file name for `target`, when `name`
// is one.
bool ReadTemporaryName(const NativeString& name, const NativeString& target, unsigned long& process,
                       unsigned long& counter) {
  const NativeString tail = std::filesystem::path(".tmp").native();
  if (name.size() <= tail.size() + 4 || name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  // Read from the end: <process>-<counter> between the last "." of NAME and ".tmp".
  std::size_t at = name.size() - tail.size();
  auto number = [&](unsigned long& value, char before) {
    const std::size_t end = at;
    while (at > 0 && name[at - 1] >= '0' && name[at - 1] <= '9') --at;
    if (at == end || end - at > 9 || at == 0 || name[at - 1] != static_cast<NativeString::value_type>(before)) {
      return false;
    }
    value = std::stoul(std::filesystem::path(name.substr(at, end - at)).string());
    --at;
    return true;
  };
  return number(counter, '-') && number(process, '.') && name == TemporaryName(target, process, counter);
}

// Removes the temporary files for `target` that processes no longer running
// left behind (a power cut, SIGKILL). The folder is read once, when this
// process first writes into it, for the left files of every name: a folder
// of thousands of photos tagged one after the other is not read again for
// each of them.
void RemoveLeftTemporaryFiles(const std::filesystem::path& target) {
  static std::mutex mutex;
  static std::map<std::filesystem::path, std::vector<std::filesystem::path>> leftByFolder;
  std::error_code ec;
  std::filesystem::path folder = target.parent_path().empty() ? "." : target.parent_path();
  folder = std::filesystem::absolute(folder, ec);
  if (ec) return;
  const std::lock_guard<std::mutex> lock(mutex);
  const auto [found, first] = leftByFolder.try_emplace(folder);
  std::vector<std::filesystem::path>& left = found->second;
  if (first) {
    std::filesystem::directory_iterator entries(folder, ec);
    for (; !ec && entries != std::filesystem::directory_iterator(); entries.increment(ec)) {
      const NativeString name = entries->path().filename().native();
      const NativeString tail = std::filesystem::path(".tmp").native();
      if (name.size() > tail.size() && name.front() == '.' &&
          name.compare(name.size() - tail.size(), tail.size(), tail) == 0) {
        left.push_back(entries->path());
      }
    }
  }
  for (auto it = left.begin(); it != left.end();) {
    unsigned long process = 0;
    unsigned long counter = 0;
    if (ReadTemporaryName(it->filename().native(), target.filename().native(), process, counter) &&
        ProcessIsGone(process)) {
      std::error_code removeError;
      std::filesystem::remove(*it, removeError);
      it = left.erase(it);
    } else {
      ++it;
    }
  }
}

// Gives a new file the permission bits of the file it is to replace, so that
// a private export stays private.
void KeepModeOf(const std::filesystem::path& target, int fd) {
#ifdef _WIN32
  (void)target;
  (void)fd;
#else
  struct stat status {};
  if (stat(target.c_str(), &status) == 0 && S_ISREG(status.st_mode)) fchmod(fd, status.st_mode & 07777);
#endif
}

}  // namespace

namespace {

#ifdef _WIN32
int OpenForWriting(const std::filesystem::path& path) {
  return _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, _S_IREAD | _S_IWRITE);
}
long WriteSome(int fd, const char* data, std::size_t size) {
  return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, std::size_t{1} << 30)));
}
bool PutOnDisk(int fd) { return _commit(fd) == 0; }
bool CloseFile(int fd) { return _close(fd) == 0; }
#else
int OpenForWriting(const std::filesystem::path& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}
long WriteSome(int fd, const char* data, std::size_t size) {
  ssize_t n;
  do {
    n = write(fd, data, size);
  } while (n < 0 && errno == EINTR);
  return static_cast<long>(n);
}
bool PutOnDisk(int fd) { return fsync(fd) == 0; }
bool CloseFile(int fd) { return close(fd) == 0; }
#endif

// Puts a file's bytes on the disk on a thread of its own, each time it is
// asked to, while more of them are being written. A flush takes time in
// proportion to what was written since the one before (the disk's own cache
// is emptied too, some 10 ms for a full logger memory's CSV), so the flush
// before the rename then waits only for the last few bytes. A flush that
// fails fails the file: a later one may no longer tell.
class BackgroundFlush {
 public:
  explicit BackgroundFlush(int fd) : fd_(fd) {}
  ~BackgroundFlush() { Stop(); }
  BackgroundFlush(const BackgroundFlush&) = delete;
  BackgroundFlush& operator=(const BackgroundFlush&) = delete;

  // Starts a flush of what was written so far, unless one is still under
  // way (the next one then takes these bytes too).
  void Request() {
    if (!started_) {
      started_ = true;
      try {
        thread_ = std::thread([this] { Run(); });
      } catch (const std::system_error&) {
        return;  // no thread to be had: the flush at the end does the whole work
      }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
    changed_.notify_one();
  }
  // Waits for a flush under way and ends the thread; false when a flush failed.
  bool Stop() {
    if (thread_.joinable()) {
      {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
        changed_.notify_one();
      }
      thread_.join();
    }
    return !failed_;
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return requested_ || stop_; });
      if (stop_) return;
      requested_ = false;
      lock.unlock();
      const bool flushed = PutOnDisk(fd_);
      lock.lock();
      failed_ = failed_ || !flushed;
    }
  }

  int fd_;
  bool started_ = false;
  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool requested_ = false;
  bool stop_ = false;
  bool failed_ = false;
};

// The temporary file as a stream buffer over its descriptor. Large writes go
// to the file directly. Every few megabytes the bytes written so far are
// flushed to the disk while rendering goes on, so that the flush before the
// rename, which puts the file's bytes on the disk so that a power cut after
// the rename cannot leave the target empty or cut, waits only for the last
// of them.
class DiskFileBuffer : public std::streambuf {
 public:
  // Takes over `fd`, a file open for writing (none when negative).
  explicit DiskFileBuffer(int fd) : fd_(fd), flush_(fd_), buffer_(kStreamBufferSize) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }
  ~DiskFileBuffer() override {
    flush_.Stop();
    if (fd_ >= 0) CloseFile(fd_);
  }
  DiskFileBuffer(const DiskFileBuffer&) = delete;
  DiskFileBuffer& operator=(const DiskFileBuffer&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }

  // Writes what is buffered, puts every byte on the disk and closes the
  // file; true when all of that worked.
  bool Finish() {
    bool done = EmptyBuffer();
    done = flush_.Stop() && done;
    done = done && PutOnDisk(fd_);
    done = CloseFile(fd_) && done;
    fd_ = -1;
    return done;
  }

 protected:
  int_type overflow(int_type c) override {
    if (!EmptyBuffer()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

  std::streamsize xsputn(const char* data, std::streamsize count) override {
    const auto size = static_cast<std::size_t>(count);
    if (size <= static_cast<std::size_t>(epptr() - pptr())) {
      std::memcpy(pptr(), data, size);
      pbump(static_cast<int>(size));
      return count;
    }
    if (!EmptyBuffer() || !WriteAll(data, size)) return 0;
    return count;
  }

  int sync() override { return EmptyBuffer() ? 0 : -1; }

 public:
  // Writes `size` bytes past what is buffered, leaving nothing buffered, for
  // a caller that goes on writing through Descriptor().
  bool Put(const char* data, std::size_t size) { return EmptyBuffer() && WriteAll(data, size); }

 private:
  static constexpr std::uint64_t kFlushStep = std::uint64_t{2} << 20;

  bool EmptyBuffer() {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    return WriteAll(buffer_.data(), size);
  }

  bool WriteAll(const char* data, std::size_t size) {
    while (size > 0) {
      const long n = WriteSome(fd_, data, size);
      if (n <= 0) return false;
      data += n;
      size -= static_cast<std::size_t>(n);
      written_ += static_cast<std::uint64_t>(n);
    }
    if (written_ - flushRequestedAt_ >= kFlushStep) {
      flush_.Request();
      flushRequestedAt_ = written_;
    }
    return true;
  }

  int fd_;
  BackgroundFlush flush_;
  std::vector<char> buffer_;
  std::uint64_t written_ = 0;
  std::uint64_t flushRequestedAt_ = 0;
};

#ifndef _WIN32
// Makes the rename itself last.
void FlushFolder(const std::filesystem::path& folder) {
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}
#endif

// Gives the temporary file the target's name, replacing the target in one step.
bool ReplaceWith(const std::filesystem::path& temp, const std::filesystem::path& target) {
#ifdef _WIN32
  // Write-through returns only once the move is on the disk, which stands in
  // for the folder flush POSIX systems need.
  return ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  const int previous = open(target.c_str(), O_RDONLY | O_CLOEXEC);
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (!ec) FlushFolder(target.parent_path());
  if (previous >= 0) close(previous);
  return !ec;
#endif
}

}  // namespace

namespace {

// Writes the temporary file through `fill` and gives it the target's place;
// see WriteFileAtomically.
bool ReplaceFile(const std::string& path, const std::function<bool(DiskFileBuffer&)>& fill) {
  std::error_code ec;
  // Through symbolic links the file the last one names is replaced (or made
  // in its folder) and the links kept; a link is never replaced by a file.
  const std::filesystem::path target = FinalLinkTarget(Utf8Path(path), ec);
  if (ec || target.filename().empty()) return false;

  RemoveLeftTemporaryFiles(target);
  const std::filesystem::path temp = TemporaryPathFor(target);
  // Guarded from before the file exists until it has its final name.
  const RemoveOnSignal guard(temp);
  bool written = false;
  {
    DiskFileBuffer file(guard.Create([&temp] { return OpenForWriting(temp); }));
    if (!file.IsOpen()) return false;
    KeepModeOf(target, file.Descriptor());
    // A render that cannot finish (memory gone) leaves no temporary file.
    try {
      written = fill(file) && file.Finish();
    } catch (const std::exception&) {
      written = false;
    }
  }
  if (written && ReplaceWith(temp, target)) return true;
  std::filesystem::remove(temp, ec);
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::function<void(std::ostream&)>& render) {
  return ReplaceFile(path, [&render](DiskFileBuffer& file) {
    std::ostream out(&file);
    render(out);
    return out.good();
  });
}

SpliceOutcome SpliceFileAtomically(const std::string& path, std::string_view head,
                                   std::shared_ptr<PositionalFile> source, std::uint64_t sourceOffset) {
  bool changed = false;
  const bool replaced = ReplaceFile(path, [&](DiskFileBuffer& file) {
    if (!file.Put(head.data(), head.size()) || !source->CopyTo(file.Descriptor(), sourceOffset)) return false;
    changed = source->ChangedSinceOpened();
    // Closed before the rename: Windows does not replace a file that is open.
    source.reset();
    return !changed;
  });
  if (replaced) return SpliceOutcome::kReplaced;
  return changed ? SpliceOutcome::kSourceChanged : SpliceOutcome::kFailed;
}

}  // namespace quillon
