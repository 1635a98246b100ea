#include "orvex/WireClient.h"

#include <algorithm>
#include <chrono>

namespace quillon::orvex {
namespace {

// An answer that keeps trickling in longer than this is treated as lost, so a
// babbling line cannot hold a call forever.
constexpr auto kLongestAnswer = std::chrono::seconds(30);

}  // namespace

WireClient::Result WireClient::Transact(Command command, const std::vector<std::uint8_t>& payload, Frame& answer,
                                        const WireTimeouts& timeouts) {
  const Deadline overall = timeouts.totalMs > 0
                               ? std::chrono::steady_clock::now() + std::chrono::milliseconds(timeouts.totalMs)
                               : Deadline::max();
  for (int attempt = 0; attempt <= kMaxRetries; ++attempt) {
    if (attempt > 0) {
      if (std::chrono::steady_clock::now() >= overall) break;
      line_.DiscardInput();
      decoder_.Clear();
    }
    const Deadline deadline = std::min(overall, std::chrono::steady_clock::now() + kLongestAnswer);
    switch (Once(command, payload, answer, timeouts, deadline)) {
      case Attempt::kAnswered:
        return Result::kAnswered;
      case Attempt::kLineLost:
        return Result::kLineLost;
      case Attempt::kRetry:
        break;
    }
  }
  return Result::kNoAnswer;
}

WireClient::Attempt WireClient::Once(Command command, const std::vector<std::uint8_t>& payload, Frame& answer,
                                     const WireTimeouts& timeouts, Deadline deadline) {
  const std::uint8_t sequence = ++sequence_;
  auto request = EncodeFrame(static_cast<std::uint8_t>(command), sequence, payload);
  if (!line_.Write(request.data(), request.size())) return Attempt::kLineLost;

  const std::uint8_t expected = static_cast<std::uint8_t>(command) | kAnswerBit;
  int waitMs = timeouts.answerMs;
  std::uint8_t buffer[8192];
  for (;;) {
    Frame frame;
    FrameDecoder::Event event;
    while ((event = decoder_.Next(frame)) != FrameDecoder::Event::kNone) {
      if (event == FrameDecoder::Event::kDamaged) return Attempt::kRetry;
      if (frame.command == expected && frame.sequence == sequence) {
        answer = std::move(frame);
        return Attempt::kAnswered;
      }
      // A late answer to an earlier attempt: drop it and keep waiting.
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return Attempt::kRetry;
    auto got = line_.Read(buffer, sizeof buffer, static_cast<int>(std::min<long long>(waitMs, left.count())));
    if (got.status == SerialLine::ReadStatus::kHangup) return Attempt::kLineLost;
    if (got.status == SerialLine::ReadStatus::kTimeout) return Attempt::kRetry;
    decoder_.Append(buffer, got.count);
    waitMs = timeouts.pauseMs;
  }
}

}  // namespace quillon::orvex
