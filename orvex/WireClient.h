#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "orvex/SerialLine.h"
#include "orvex/WireProtocol.h"

namespace quillon::orvex {

// Time the logger has to start its answer, the longest pause allowed between
// two pieces of one answer, and, when above 0, the most the whole request may
// take with all its attempts: bytes that keep coming without ever forming the
// answer (a device that streams on its own) cannot stretch it.
struct WireTimeouts {
  int answerMs = 500;
  int pauseMs = 300;
  int totalMs = 0;
};
inline constexpr int kMaxRetries = 3;

// Sends a request and waits for its answer: the answer carries the request's
// command | 0x80 and its sequence number. A damaged answer (bad checksum) or a
// missing one is asked for again, at most kMaxRetries times; every attempt
// uses a new sequence number so that a late answer to an earlier attempt is
// recognised and dropped.
class WireClient {
 public:
  enum class Result { kAnswered, kNoAnswer, kLineLost };

  explicit WireClient(SerialLine& line) : line_(line) {}
  Result Transact(Command command, const std::vector<std::uint8_t>& payload, Frame& answer,
                  const WireTimeouts& timeouts = {});

 private:
  enum class Attempt { kAnswered, kRetry, kLineLost };
  using Deadline = std::chrono::steady_clock::time_point;
  Attempt Once(Command command, const std::vector<std::uint8_t>& payload, Frame& answer,
               const WireTimeouts& timeouts, Deadline deadline);

  SerialLine& line_;
  FrameDecoder decoder_;
  std::uint8_t sequence_ = 0;
};

}  // namespace quillon::orvex
