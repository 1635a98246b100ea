#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <vector>

#include "orvex/LoggerRecord.h"
#include "orvex/WireProtocol.h"
#include "orvex/emulator/EmulatorOptions.h"

namespace quillon::orvex {

// The logger itself, without its line: memory, settings, GPS clock and the
// answers to requests. Faults that concern the answers are applied here;
// silence and slowness belong to the line (PtyPort).
class LoggerEmulator {
 public:
  struct Reply {
    std::vector<std::uint8_t> bytes;  // empty: no answer
    bool unplugAfterSending = false;
  };

  LoggerEmulator(const EmulatorOptions& options, const std::vector<LoggerFix>& fixes,
                 std::function<std::time_t()> clock = [] { return std::time(nullptr); });

  Reply Handle(const Frame& request);

  std::uint32_t UsedBytes() const { return used_; }
  const LoggerSettings& Settings() const { return settings_; }
  bool InDumpMode() const { return dumpMode_; }

 private:
  std::vector<std::uint8_t> Answer(const Frame& request);
  std::vector<std::uint8_t> ReadBlock(const std::vector<std::uint8_t>& request);

  EmulatorOptions options_;
  std::function<std::time_t()> clock_;
  std::vector<std::uint8_t> memory_;
  std::uint32_t used_ = 0;
  LoggerSettings settings_;
  bool dumpMode_ = false;
  int blockAnswers_ = 0;
  long long downloadBytesSent_ = 0;
};

// The logger's own check of received settings: 14 when it takes them, else
// the code of the first value it refuses (15, 19, 20, 30, 43, 44, 46, 47).
int CheckLoggerSettings(const LoggerSettings& settings);

}  // namespace quillon::orvex
