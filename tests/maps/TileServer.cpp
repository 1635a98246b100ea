#include "tests/maps/TileServer.h"

#include <stdexcept>

#include "tests/maps/TileServerProcess.h"
#include "tests/support/Environment.h"

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

TileServer::TileServer() : process_(TileServerProcess::Start()) {
  const std::string first = ReadLine();
  if (!first.starts_with("port ")) throw std::runtime_error("the tile server said \"" + first + "\"");
  port_ = std::stoi(first.substr(5));
}

TileServer::~TileServer() = default;

std::string TileServer::Origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

std::string TileServer::ReadLine() {
  for (;;) {
    if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
      std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return line;
    }
    char buffer[4096];
    const std::size_t got = process_->Read(buffer, sizeof buffer, kReplyTimeoutMilliseconds);
    pending_.append(buffer, got);
  }
}

std::string TileServer::Command(const std::string& json) {
  process_->Write(json + "\n");
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

void LoopbackTest::SetUpTestSuite() {
  savedNoProxy_ = SavedEnvironment("no_proxy");
  SetEnvironment("no_proxy", "127.0.0.1,localhost");
}

void LoopbackTest::TearDownTestSuite() { RestoreEnvironment("no_proxy", savedNoProxy_); }

}  // namespace quillon::testing
