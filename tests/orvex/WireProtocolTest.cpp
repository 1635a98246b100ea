#include <gtest/gtest.h>

#include "orvex/WireProtocol.h"

namespace quillon::orvex {
namespace {

std::vector<std::uint8_t> Payload(std::size_t size) {
  std::vector<std::uint8_t> payload(size);
  for (std::size_t i = 0; i < size; ++i) payload[i] = static_cast<std::uint8_t>(i * 7 + 3);
  return payload;
}

TEST(WireProtocolTest, CrcMatchesTheCcittFalseCheckValue) {
  const char* check = "123456789";
  EXPECT_EQ(Crc16(reinterpret_cast<const std::uint8_t*>(check), 9), 0x29B1);
}

TEST(WireProtocolTest, FramesSurviveAnySplitAndLeadingNoise) {
  for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{300}, kMaxPayload}) {
    SCOPED_TRACE(size);
    auto bytes = EncodeFrame(0x86, 42, Payload(size));
    bytes.insert(bytes.begin(), {0x00, kSync0, 0x13, kSync1});
    for (std::size_t step : {std::size_t{1}, std::size_t{5}, bytes.size()}) {
      FrameDecoder decoder;
      Frame frame;
      int frames = 0;
      for (std::size_t at = 0; at < bytes.size(); at += step) {
        decoder.Append(bytes.data() + at, std::min(step, bytes.size() - at));
        while (decoder.Next(frame) == FrameDecoder::Event::kFrame) ++frames;
      }
      EXPECT_EQ(frames, 1) << "step " << step;
      EXPECT_EQ(frame.command, 0x86);
      EXPECT_EQ(frame.sequence, 42);
      EXPECT_EQ(frame.payload, Payload(size));
    }
  }
}

TEST(WireProtocolTest, AnyDamagedByteIsDetected) {
  const auto good = EncodeFrame(0x06, 9, Payload(64));
  // Every byte after the sync pair is covered by the checksum or the length.
  for (std::size_t at = 2; at < good.size(); ++at) {
    SCOPED_TRACE(at);
    auto bad = good;
    bad[at] ^= 0x01;
    FrameDecoder decoder;
    decoder.Append(bad.data(), bad.size());
    Frame frame;
    EXPECT_NE(decoder.Next(frame), FrameDecoder::Event::kFrame);
  }
}

TEST(WireProtocolTest, DamagedFrameIsDroppedAndTheNextOneDecodes) {
  auto bad = EncodeFrame(0x01, 1, Payload(10));
  bad[8] ^= 0xFF;
  auto good = EncodeFrame(0x02, 2, Payload(3));
  FrameDecoder decoder;
  decoder.Append(bad.data(), bad.size());
  decoder.Append(good.data(), good.size());
  Frame frame;
  EXPECT_EQ(decoder.Next(frame), FrameDecoder::Event::kDamaged);
  EXPECT_EQ(decoder.Next(frame), FrameDecoder::Event::kFrame);
  EXPECT_EQ(frame.sequence, 2);
  EXPECT_EQ(decoder.Next(frame), FrameDecoder::Event::kNone);
}

TEST(WireProtocolTest, ImpossibleLengthIsNotTakenForAFrame) {
  std::vector<std::uint8_t> noise = {kSync0, kSync1, 0x01, 0x01, 0xFF, 0xFF};
  auto good = EncodeFrame(0x05, 3, {});
  noise.insert(noise.end(), good.begin(), good.end());
  FrameDecoder decoder;
  decoder.Append(noise.data(), noise.size());
  Frame frame;
  EXPECT_EQ(decoder.Next(frame), FrameDecoder::Event::kFrame);
  EXPECT_EQ(frame.command, 0x05);
}

}  // namespace
}  // namespace quillon::orvex
