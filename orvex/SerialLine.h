#pragma once

#ifndef _WIN32
#include <termios.h>
#endif

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quillon::orvex {

// A serial line opened raw (8N1, no flow control, no echo, no line editing),
// with a timeout on every read. Closing it puts back the terminal settings it
// was found with.
class SerialLine {
 public:
  enum class ReadStatus { kData, kTimeout, kHangup };
  struct ReadResult {
    ReadStatus status;
    std::size_t count;
  };

  // Null when the path cannot be opened or is not a terminal.
  static std::unique_ptr<SerialLine> Open(const std::string& path);
  ~SerialLine();
  SerialLine(const SerialLine&) = delete;
  SerialLine& operator=(const SerialLine&) = delete;

  // False when the line is gone.
  bool Write(const std::uint8_t* data, std::size_t size);
  // Waits at most timeoutMs for bytes, then reads what is there (up to size).
  ReadResult Read(std::uint8_t* data, std::size_t size, int timeoutMs);
  // Drops whatever the other side sent and we have not read yet.
  void DiscardInput();

 private:
#ifdef _WIN32
  explicit SerialLine(void* handle) : handle_(handle) {}
  void* handle_;
#else
  SerialLine(int fd, const termios& found) : fd_(fd), found_(found) {}
  int fd_;
  termios found_;
#endif
};

}  // namespace quillon::orvex
