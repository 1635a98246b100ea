#include "platform/StreamOutput.h"

#include <algorithm>
#include <streambuf>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace quillon {

namespace {

#ifdef _WIN32
long WriteSome(int fd, const char* data, std::size_t size) {
  return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, std::size_t{1} << 30)));
}
#else
long WriteSome(int fd, const char* data, std::size_t size) {
  ssize_t n;
  do {
    n = write(fd, data, size);
  } while (n < 0 && errno == EINTR);
  return static_cast<long>(n);
}
#endif

// A stream buffer over a descriptor it does not own. Once a write fails,
// every later one fails too, so that the stream reports the loss.
class DescriptorBuffer : public std::streambuf {
 public:
  explicit DescriptorBuffer(int fd) : fd_(fd), buffer_(std::size_t{1} << 16) {
    setp(buffer_.data(), buffer_.data() + buffer_.size());
  }

 protected:
  int_type overflow(int_type c) override {
    if (!Empty()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Empty() ? 0 : -1; }

 private:
  bool Empty() {
    const char* data = pbase();
    auto size = static_cast<std::size_t>(pptr() - pbase());
    setp(buffer_.data(), buffer_.data() + buffer_.size());
    while (!failed_ && size > 0) {
      const long n = WriteSome(fd_, data, size);
      failed_ = n <= 0;
      if (failed_) break;
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return !failed_;
  }

  int fd_;
  std::vector<char> buffer_;
  bool failed_ = false;
};

bool WriteAll(int fd, const std::function<void(std::ostream&)>& render) {
  DescriptorBuffer buffer(fd);
  std::ostream out(&buffer);
  render(out);
  out.flush();
  return out.good();
}

}  // namespace

bool WriteToDescriptor(int fd, const std::function<void(std::ostream&)>& render) { return WriteAll(fd, render); }

#ifdef _WIN32

DeviceWrite WriteToDevice(const std::string& path, const std::function<void(std::ostream&)>& render) {
  const int fd = _open(path.c_str(), _O_WRONLY | _O_BINARY);
  if (fd < 0) return DeviceWrite::kFailed;
  const bool written = WriteAll(fd, render);
  return _close(fd) == 0 && written ? DeviceWrite::kWritten : DeviceWrite::kFailed;
}

#else

DeviceWrite WriteToDevice(const std::string& path, const std::function<void(std::ostream&)>& render) {
  // Without O_NONBLOCK, opening a pipe waits until some program opens it for
  // reading, which may be never.
  const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    struct stat status {};
    const bool pipe = errno == ENXIO && stat(path.c_str(), &status) == 0 && S_ISFIFO(status.st_mode);
    return pipe ? DeviceWrite::kNoReader : DeviceWrite::kFailed;
  }
  // Once a reader is there, writes wait for it as usual.
  const int flags = fcntl(fd, F_GETFL);
  const bool blocking = flags != -1 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
  const bool written = blocking && WriteAll(fd, render);
  return close(fd) == 0 && written ? DeviceWrite::kWritten : DeviceWrite::kFailed;
}

#endif

}  // namespace quillon
