#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The wire protocol between the stand-in device library and the logger (see
// docs/wire-protocol.md). Both sides use these frames; the logger answers
// every request it understands with the request's command | 0x80 and the
// request's sequence number.
namespace quillon::orvex {

inline constexpr std::uint8_t kSync0 = 0xA5;
inline constexpr std::uint8_t kSync1 = 0x5A;
inline constexpr std::size_t kFrameHeaderSize = 6;  // sync, sync, command, sequence, length (u16 LE)
inline constexpr std::size_t kFrameTrailerSize = 2;  // CRC-16 (u16 LE)
inline constexpr std::size_t kMaxPayload = 16384;
inline constexpr std::uint8_t kAnswerBit = 0x80;

enum class Command : std::uint8_t {
  kEnterDumpMode = 0x01,
  kExitDumpMode = 0x02,
  kReadInformation = 0x03,
  kReadClock = 0x04,
  kReadMemoryUsed = 0x05,
  kReadBlock = 0x06,
  kReadSettings = 0x07,
  kWriteSettings = 0x08,
  kErase = 0x09,
};

// First payload byte of most answers.
enum class Status : std::uint8_t {
  kOk = 0x00,
  kRefused = 0x01,        // the logger will not enter dump mode now
  kNotInDumpMode = 0x02,  // a request that needs dump mode came without it
  kBadRequest = 0x03,     // malformed request payload or a block outside the memory
};

// CRC-16/CCITT-FALSE (polynomial 0x1021, initial value 0xFFFF).
std::uint16_t Crc16(const std::uint8_t* data, std::size_t size);

std::vector<std::uint8_t> EncodeFrame(std::uint8_t command, std::uint8_t sequence,
                                      const std::vector<std::uint8_t>& payload);

struct Frame {
  std::uint8_t command = 0;
  std::uint8_t sequence = 0;
  std::vector<std::uint8_t> payload;
};

// Splits a byte stream into frames. Bytes before a sync pair are skipped; a
// frame whose CRC does not match is reported as damaged and dropped.
class FrameDecoder {
 public:
  enum class Event { kNone, kFrame, kDamaged };

  void Append(const std::uint8_t* data, std::size_t size);
  // Takes the next event out of the bytes appended so far.
  Event Next(Frame& frame);
  void Clear() { buffer_.clear(); }

 private:
  std::vector<std::uint8_t> buffer_;
};

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value);
std::uint16_t GetU16(const std::uint8_t* in);
std::uint32_t GetU32(const std::uint8_t* in);

}  // namespace quillon::orvex
