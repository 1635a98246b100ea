#pragma once

#include <cstdint>
#include <vector>

#include "orvex/SerialLine.h"
#include "orvex/WireProtocol.h"

namespace quillon::orvex {

// Time the logger has to start its answer, and the longest pause allowed
// between two pieces of one answer.
struct WireTimeouts {
  int answerMs = 500;
  int pauseMs = 300;
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
  Attempt Once(Command command, const std::vector<std::uint8_t>& payload, Frame& answer,
               const WireTimeouts& timeouts);

  SerialLine& line_;
  FrameDecoder decoder_;
  std::uint8_t sequence_ = 0;
};

}  // namespace quillon::orvex
