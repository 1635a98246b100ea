#pragma once

// tests/maps/tile_server.py running beside the test, and the channel that
// carries its command lines: its standard input and output on Linux; on
// Windows (under Wine) a loopback connection the server makes back to the
// test, since Wine starts the Linux interpreter but cannot hand it pipes.

#include <cstddef>
#include <memory>
#include <string>

namespace quillon::testing {

class TileServerProcess {
 public:
  // Throws std::runtime_error when the server cannot be started.
  static std::unique_ptr<TileServerProcess> Start();
  // Ends the channel, which ends the server.
  virtual ~TileServerProcess() = default;

  // Throws std::runtime_error when the server no longer listens.
  virtual void Write(const std::string& bytes) = 0;
  // Some bytes (at least one), waiting up to `milliseconds`; throws
  // std::runtime_error when none come or the server has ended.
  virtual std::size_t Read(char* buffer, std::size_t size, int milliseconds) = 0;
};

}  // namespace quillon::testing
