#include "orvex/SerialLine.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace quillon::orvex {
namespace {

constexpr speed_t kLineSpeed = B115200;
constexpr int kDiscardPasses = 16;

}  // namespace

std::unique_ptr<SerialLine> SerialLine::Open(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  termios found{};
  if (::tcgetattr(fd, &found) != 0) {
    ::close(fd);
    return nullptr;
  }
  termios tio = found;
  ::cfmakeraw(&tio);
  tio.c_cflag |= CLOCAL | CREAD;
  tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB | PARENB);
  tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  ::cfsetispeed(&tio, kLineSpeed);
  ::cfsetospeed(&tio, kLineSpeed);
  if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
    ::close(fd);
    return nullptr;
  }
  ::tcflush(fd, TCIOFLUSH);
  return std::unique_ptr<SerialLine>(new SerialLine(fd, found));
}

SerialLine::~SerialLine() {
  // The terminal may belong to something else than a logger (a shell, a
  // modem): it gets back the settings it had. A line that hung up refuses,
  // which does no harm.
  ::tcsetattr(fd_, TCSANOW, &found_);
  ::close(fd_);
}

bool SerialLine::Write(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t written = ::write(fd_, data, size);
    if (written > 0) {
      data += written;
      size -= static_cast<std::size_t>(written);
      continue;
    }
    if (written < 0 && errno == EINTR) continue;
    if (written < 0 && errno == EAGAIN) {
      pollfd pfd{fd_, POLLOUT, 0};
      // A line that takes no output for a second is as good as gone.
      if (::poll(&pfd, 1, 1000) <= 0 || (pfd.revents & (POLLERR | POLLHUP))) return false;
      continue;
    }
    return false;
  }
  return true;
}

SerialLine::ReadResult SerialLine::Read(std::uint8_t* data, std::size_t size, int timeoutMs) {
  pollfd pfd{fd_, POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&pfd, 1, timeoutMs);
  } while (ready < 0 && errno == EINTR);
  if (ready < 0) return {ReadStatus::kHangup, 0};
  if (ready == 0) return {ReadStatus::kTimeout, 0};
  ssize_t got;
  do {
    got = ::read(fd_, data, size);
  } while (got < 0 && errno == EINTR);
  if (got > 0) return {ReadStatus::kData, static_cast<std::size_t>(got)};
  if (got < 0 && errno == EAGAIN) return {ReadStatus::kTimeout, 0};
  // End of file or EIO: the other side has closed (a pseudo-terminal whose
  // master went away, a USB adapter that was pulled out).
  return {ReadStatus::kHangup, 0};
}

void SerialLine::DiscardInput() {
  ::tcflush(fd_, TCIFLUSH);
  // Bounded, so that a line streaming faster than we read cannot hold us here.
  std::uint8_t scratch[4096];
  for (int pass = 0; pass < kDiscardPasses && ::read(fd_, scratch, sizeof scratch) > 0; ++pass) {
  }
}

}  // namespace quillon::orvex
