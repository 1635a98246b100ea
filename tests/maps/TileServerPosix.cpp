#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "tests/maps/TileServer.h"
#include "tests/maps/TileServerProcess.h"

namespace quillon::testing {
namespace {

// The server as a child process on pipes.
class PipedServer : public TileServerProcess {
 public:
  PipedServer() {
    int in[2];
    int out[2];
    if (::pipe(in) != 0 || ::pipe(out) != 0) throw std::runtime_error("no pipes for the tile server");
    pid_ = ::fork();
    if (pid_ == 0) {
      ::dup2(in[0], STDIN_FILENO);
      ::dup2(out[1], STDOUT_FILENO);
      ::close(in[0]);
      ::close(in[1]);
      ::close(out[0]);
      ::close(out[1]);
      ::execl(QUILLON_PYTHON, QUILLON_PYTHON, QUILLON_TILE_SERVER, static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    toServer_ = in[1];
    fromServer_ = out[0];
    if (pid_ < 0) throw std::runtime_error("the tile server did not start");
  }

  ~PipedServer() override {
    // End of input stops the server; one that does not go is killed.
    ::close(toServer_);
    ::close(fromServer_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }

  void Write(const std::string& bytes) override {
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(toServer_, bytes.data() + written, bytes.size() - written);
      if (n <= 0) throw std::runtime_error("the tile server does not listen");
      written += static_cast<std::size_t>(n);
    }
  }

  std::size_t Read(char* buffer, std::size_t size, int milliseconds) override {
    pollfd ready{fromServer_, POLLIN, 0};
    if (::poll(&ready, 1, milliseconds) <= 0) throw std::runtime_error("the tile server did not answer");
    const ssize_t got = ::read(fromServer_, buffer, size);
    if (got <= 0) throw std::runtime_error("the tile server ended");
    return static_cast<std::size_t>(got);
  }

 private:
  pid_t pid_ = -1;
  int toServer_ = -1;
  int fromServer_ = -1;
};

}  // namespace

std::unique_ptr<TileServerProcess> TileServerProcess::Start() { return std::make_unique<PipedServer>(); }

int ClosedLoopbackPort() {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(socket, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(socket);
  return port;
}

}  // namespace quillon::testing
