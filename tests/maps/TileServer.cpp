#include "tests/maps/TileServer.h"

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

namespace quillon::testing {
namespace {

// A loaded machine may take a while to start Python; a server that does not
// answer within this long is broken, not slow.
constexpr int kReplyTimeoutMilliseconds = 30000;

std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80) {
      // The server takes each \u00XX as one byte of the body, so binary
      // bodies (PNG tiles) arrive as they were given.
      static const char kHex[] = "0123456789abcdef";
      quoted += "\\u00";
      quoted += kHex[(c >> 4) & 0xF];
      quoted += kHex[c & 0xF];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace

TileServer::TileServer() {
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
  const std::string first = ReadLine();
  if (!first.starts_with("port ")) throw std::runtime_error("the tile server said \"" + first + "\"");
  port_ = std::stoi(first.substr(5));
}

TileServer::~TileServer() {
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

std::string TileServer::Origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string TileServer::ReadLine() {
  for (;;) {
    if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    pollfd ready{fromServer_, POLLIN, 0};
    if (::poll(&ready, 1, kReplyTimeoutMilliseconds) <= 0) throw std::runtime_error("the tile server did not answer");
    char buffer[4096];
    const ssize_t got = ::read(fromServer_, buffer, sizeof buffer);
    if (got <= 0) throw std::runtime_error("the tile server ended");
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

std::string TileServer::Command(const std::string& json) {
  const std::string line = json + "\n";
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t n = ::write(toServer_, line.data() + written, line.size() - written);
    if (n <= 0) throw std::runtime_error("the tile server does not listen");
    written += static_cast<std::size_t>(n);
  }
  return ReadLine();
}

void TileServer::Serve(const std::string& path, const ServedTile& tile) {
  std::string headers;
  for (const auto& [name, value] : tile.headers) headers += (headers.empty() ? "" : ", ") + Quote(name) + ": " + Quote(value);
  const std::string reply =
      Command("{\"cmd\": \"tile\", \"path\": " + Quote(path) + ", \"body\": " + Quote(tile.body) +
              ", \"status\": " + std::to_string(tile.status) + ", \"headers\": {" + headers + "}" +
              (tile.etag.empty() ? "" : ", \"etag\": " + Quote(tile.etag)) +
              ", \"delay\": " + std::to_string(tile.delaySeconds) + ", \"hang\": " + (tile.hang ? "true" : "false") +
              "}");
  if (reply != "ok") throw std::runtime_error("the tile server said \"" + reply + "\"");
}

int TileServer::Count(const std::string& path) {
  return std::stoi(Command("{\"cmd\": \"count\", \"path\": " + Quote(path) + "}"));
}

int TileServer::Total() { return std::stoi(Command("{\"cmd\": \"total\"}")); }

int TileServer::MaxConnections() { return std::stoi(Command("{\"cmd\": \"max_connections\"}")); }

std::string TileServer::Header(const std::string& path, const std::string& name) {
  return Command("{\"cmd\": \"header\", \"path\": " + Quote(path) + ", \"name\": " + Quote(name) + "}");
}

std::string TileServer::UserAgents() { return Command("{\"cmd\": \"user_agents\"}"); }

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
