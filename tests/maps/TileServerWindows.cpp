#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "tests/maps/TileServer.h"
#include "tests/maps/TileServerProcess.h"

namespace quillon::testing {
namespace {

// How long the interpreter may take to start and call back on a loaded
// machine.
constexpr long kStartSeconds = 30;

class Winsock {
 public:
  Winsock() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("Winsock does not start");
  }
  ~Winsock() { ::WSACleanup(); }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;
};

// A loopback socket bound to a free port and listening.
SOCKET Listening(int& port) {
  const SOCKET listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener == INVALID_SOCKET) throw std::runtime_error("no socket for the tile server");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(listener, 1) != 0 ||
      ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    ::closesocket(listener);
    throw std::runtime_error("the tile server's control port cannot listen");
  }
  port = ntohs(address.sin_port);
  return listener;
}

bool Readable(SOCKET socket, long milliseconds) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval wait{milliseconds / 1000, (milliseconds % 1000) * 1000};
  return ::select(0, &set, nullptr, nullptr, &wait) > 0;
}

// The interpreter is the build machine's own (a Linux program, which Wine
// starts when given its path on the drive Z: that maps "/"). It connects to
// the test's control port and takes its commands from that connection.
std::wstring CommandLine(int controlPort) {
  std::wstring python = L"Z:";
  for (const char c : std::string(QUILLON_PYTHON)) python += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  std::wstring script;
  for (const char c : std::string(QUILLON_TILE_SERVER)) script += static_cast<wchar_t>(c);
  return L"\"" + python + L"\" \"" + script + L"\" --connect " + std::to_wstring(controlPort);
}

class ConnectedServer : public TileServerProcess {
 public:
  ConnectedServer() {
    int port = 0;
    const SOCKET listener = Listening(port);
    std::wstring command = CommandLine(port);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
      ::closesocket(listener);
      throw std::runtime_error("the tile server did not start (error " + std::to_string(::GetLastError()) + ")");
    }
    // A Linux program gets no Windows process handles; the connection is
    // all there is of it.
    if (process.hProcess) ::CloseHandle(process.hProcess);
    if (process.hThread) ::CloseHandle(process.hThread);
    if (!Readable(listener, kStartSeconds * 1000)) {
      ::closesocket(listener);
      throw std::runtime_error("the tile server did not connect back");
    }
    channel_ = ::accept(listener, nullptr, nullptr);
    ::closesocket(listener);
    if (channel_ == INVALID_SOCKET) throw std::runtime_error("the tile server's connection failed");
  }

  // The server stops at the end of its input, and so when the connection
  // closes.
  ~ConnectedServer() override { ::closesocket(channel_); }

  void Write(const std::string& bytes) override {
    std::size_t written = 0;
    while (written < bytes.size()) {
      const int chunk = static_cast<int>(std::min<std::size_t>(bytes.size() - written, 1 << 20));
      const int n = ::send(channel_, bytes.data() + written, chunk, 0);
      if (n <= 0) throw std::runtime_error("the tile server does not listen");
      written += static_cast<std::size_t>(n);
    }
  }

  std::size_t Read(char* buffer, std::size_t size, int milliseconds) override {
    if (!Readable(channel_, milliseconds)) throw std::runtime_error("the tile server did not answer");
    const int got = ::recv(channel_, buffer, static_cast<int>(size), 0);
    if (got <= 0) throw std::runtime_error("the tile server ended");
    return static_cast<std::size_t>(got);
  }

 private:
  Winsock winsock_;
  SOCKET channel_ = INVALID_SOCKET;
};

}  // namespace

std::unique_ptr<TileServerProcess> TileServerProcess::Start() { return std::make_unique<ConnectedServer>(); }

int ClosedLoopbackPort() {
  Winsock winsock;
  int port = 0;
  ::closesocket(Listening(port));
  return port;
}

}  // namespace quillon::testing
