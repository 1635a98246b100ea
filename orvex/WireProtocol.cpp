#include "orvex/WireProtocol.h"

#include <algorithm>

namespace quillon::orvex {

std::uint16_t Crc16(const std::uint8_t* data, std::size_t size) {
  std::uint16_t crc = 0xFFFF;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= static_cast<std::uint16_t>(data[i] << 8);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc & 0x8000) ? static_cast<std::uint16_t>((crc << 1) ^ 0x1021) : static_cast<std::uint16_t>(crc << 1);
    }
  }
  return crc;
}

std::vector<std::uint8_t> EncodeFrame(std::uint8_t command, std::uint8_t sequence,
                                      const std::vector<std::uint8_t>& payload) {
  std::vector<std::uint8_t> frame;
  frame.reserve(kFrameHeaderSize + payload.size() + kFrameTrailerSize);
  frame.push_back(kSync0);
  frame.push_back(kSync1);
  frame.push_back(command);
  frame.push_back(sequence);
  PutU16(frame, static_cast<std::uint16_t>(payload.size()));
  frame.insert(frame.end(), payload.begin(), payload.end());
  PutU16(frame, Crc16(frame.data() + 2, frame.size() - 2));
  return frame;
}

void FrameDecoder::Append(const std::uint8_t* data, std::size_t size) { buffer_.insert(buffer_.end(), data, data + size); }

FrameDecoder::Event FrameDecoder::Next(Frame& frame) {
  for (;;) {
    // Resynchronise on the next sync pair; a lone first sync byte at the end may
    // still become one.
    std::size_t start = 0;
    while (start < buffer_.size() &&
           !(buffer_[start] == kSync0 && (start + 1 == buffer_.size() || buffer_[start + 1] == kSync1))) {
      ++start;
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start));
    if (buffer_.size() < kFrameHeaderSize) return Event::kNone;
    std::size_t length = GetU16(buffer_.data() + 4);
    if (length > kMaxPayload) {
      // Not a frame header after all: skip the sync byte and look again.
      buffer_.erase(buffer_.begin());
      continue;
    }
    std::size_t total = kFrameHeaderSize + length + kFrameTrailerSize;
    if (buffer_.size() < total) return Event::kNone;
    std::uint16_t expected = GetU16(buffer_.data() + kFrameHeaderSize + length);
    bool intact = Crc16(buffer_.data() + 2, kFrameHeaderSize - 2 + length) == expected;
    if (intact) {
      frame.command = buffer_[2];
      frame.sequence = buffer_[3];
      frame.payload.assign(buffer_.begin() + kFrameHeaderSize,
                           buffer_.begin() + static_cast<std::ptrdiff_t>(kFrameHeaderSize + length));
    }
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(total));
    return intact ? Event::kFrame : Event::kDamaged;
  }
}

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint16_t GetU16(const std::uint8_t* in) { return static_cast<std::uint16_t>(in[0] | (in[1] << 8)); }

std::uint32_t GetU32(const std::uint8_t* in) {
  return static_cast<std::uint32_t>(in[0]) | (static_cast<std::uint32_t>(in[1]) << 8) |
         (static_cast<std::uint32_t>(in[2]) << 16) | (static_cast<std::uint32_t>(in[3]) << 24);
}

}  // namespace quillon::orvex
