#pragma once

// tests/maps/tile_server.py run beside the test on the loopback interface,
// told over its command channel what to serve and asked what it saw.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quillon::testing {

class TileServerProcess;

struct ServedTile {
  std::string body{};
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers{};
  // With an ETag, a request that names it in If-None-Match gets a 304.
  std::string etag{};
  double delaySeconds = 0.0;
  bool hang = false;
};

class TileServer {
 public:
  // Throws std::runtime_error when the server does not start.
  TileServer();
  ~TileServer();
  TileServer(const TileServer&) = delete;
  TileServer& operator=(const TileServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>".
  std::string Origin() const;

  void Serve(const std::string& path, const ServedTile& tile);
  int Count(const std::string& path);
  int Total();
  int MaxConnections();
  // The header of the path's last request, "" when it had none.
  std::string Header(const std::string& path, const std::string& name);
  std::string UserAgents();

 private:
  std::string Command(const std::string& json);
  std::string ReadLine();

  std::unique_ptr<TileServerProcess> process_;
  std::string pending_;
  int port_ = 0;
};

// A loopback port where nothing listens (one just given up).
int ClosedLoopbackPort();

// A fixture whose requests go to the loopback server directly: a proxy set
// for the machine must not stand between the test and the server.
class LoopbackTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();

 private:
  static inline std::optional<std::string> savedNoProxy_;
};

}  // namespace quillon::testing
