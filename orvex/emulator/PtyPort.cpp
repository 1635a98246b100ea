#include "orvex/emulator/PtyPort.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace quillon::orvex {
namespace {

namespace fs = std::filesystem;

constexpr int kGiveUpMs = 2000;
constexpr std::size_t kThrottledChunk = 16;

// Written beside and renamed into place, so that no reader sees half a number.
bool PublishPidFile(const fs::path& pidFile, const fs::path& staging, const std::string& pid) {
  {
    std::ofstream out(staging, std::ios::trunc);
    out << pid << '\n';
    if (!out.flush()) return false;
  }
  std::error_code error;
  fs::rename(staging, pidFile, error);
  if (error) fs::remove(staging, error);
  return !error;
}

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

std::unique_ptr<PtyPort> PtyPort::Create(const std::string& portDir, int com, std::string& error) {
  std::unique_ptr<PtyPort> port(new PtyPort);
  port->master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (port->master_ < 0 || ::grantpt(port->master_) != 0 || ::unlockpt(port->master_) != 0) {
    error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
    return nullptr;
  }
  char name[256];
  if (::ptsname_r(port->master_, name, sizeof name) != 0) {
    error = "cannot name the pseudo-terminal";
    return nullptr;
  }
  port->devicePath_ = name;
  port->slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  if (port->slave_ < 0 || ::tcgetattr(port->slave_, &tio) != 0) {
    error = "cannot open " + port->devicePath_;
    return nullptr;
  }
  // Raw from the start: an echoing line would send every request back to us.
  ::cfmakeraw(&tio);
  ::tcsetattr(port->slave_, TCSANOW, &tio);
  ::fcntl(port->master_, F_SETFL, ::fcntl(port->master_, F_GETFL) | O_NONBLOCK);

  std::error_code fsError;
  fs::create_directories(portDir, fsError);
  const std::string comName = "COM" + std::to_string(com);
  const std::string pid = std::to_string(::getpid());
  fs::path link = fs::path(portDir) / comName;
  fs::path pidFile = fs::path(portDir) / (comName + ".pid");
  // The process id goes first: whoever sees the link can already check it.
  if (!PublishPidFile(pidFile, fs::path(portDir) / ("." + comName + ".pid." + pid), pid)) {
    error = "cannot publish " + pidFile.string();
    return nullptr;
  }
  port->pidPath_ = pidFile.string();
  fs::path staging = fs::path(portDir) / ("." + comName + "." + pid);
  fs::remove(staging, fsError);
  fs::create_symlink(port->devicePath_, staging, fsError);
  if (!fsError) fs::rename(staging, link, fsError);  // replaces a stale link in one step
  if (fsError) {
    fs::remove(staging, fsError);
    error = "cannot publish " + link.string();
    return nullptr;
  }
  port->linkPath_ = link.string();
  return port;
}

PtyPort::~PtyPort() { Unplug(); }

void PtyPort::RemoveLink() {
  if (linkPath_.empty()) return;
  // Only our own link: another emulator may have taken the name since.
  std::error_code error;
  if (fs::read_symlink(linkPath_, error) == fs::path(devicePath_)) fs::remove(linkPath_, error);
  linkPath_.clear();
}

void PtyPort::RemovePidFile() {
  if (pidPath_.empty()) return;
  std::error_code error;
  if (FirstLine(pidPath_) == std::to_string(::getpid())) fs::remove(pidPath_, error);
  pidPath_.clear();
}

void PtyPort::Unplug() {
  // The link first: a link without its pid file is never trusted.
  RemoveLink();
  RemovePidFile();
  if (master_ >= 0) ::close(master_);
  if (slave_ >= 0) ::close(slave_);
  master_ = slave_ = -1;
}

void PtyPort::Send(const std::vector<std::uint8_t>& bytes, int baud, const volatile std::sig_atomic_t& stop) {
  using Clock = std::chrono::steady_clock;
  const std::size_t chunk = baud > 0 ? kThrottledChunk : bytes.size();
  const auto chunkTime = baud > 0 ? std::chrono::microseconds(kThrottledChunk * 10 * 1000000LL / baud)
                                  : std::chrono::microseconds(0);
  std::size_t sent = 0;
  auto lastProgress = Clock::now();
  auto nextChunk = Clock::now();
  while (sent < bytes.size() && !stop && master_ >= 0) {
    if (baud > 0) {
      std::this_thread::sleep_until(nextChunk);
      nextChunk += chunkTime;
    }
    std::size_t want = std::min(chunk, bytes.size() - sent);
    std::size_t end = sent + want;
    while (sent < end && !stop) {
      ssize_t written = ::write(master_, bytes.data() + sent, end - sent);
      if (written > 0) {
        sent += static_cast<std::size_t>(written);
        lastProgress = Clock::now();
        continue;
      }
      if (written < 0 && errno != EAGAIN && errno != EINTR) return;
      if (Clock::now() - lastProgress > std::chrono::milliseconds(kGiveUpMs)) return;
      pollfd pfd{master_, POLLOUT, 0};
      ::poll(&pfd, 1, 100);
    }
  }
}

void PtyPort::Stream(const std::string& text) {
  if (master_ < 0) return;
  ssize_t written;
  do {
    written = ::write(master_, text.data(), text.size());
  } while (written < 0 && errno == EINTR);
}

}  // namespace quillon::orvex
