#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quillon::orvex {

struct EmulatorOptions {
  std::string portDir = "ports";
  int com = 1;
  std::uint32_t serial = 123456;
  int fixes = 200;           // length of the synthetic track
  std::string trackFile;     // NMEA log to take the fixes from instead
  // Fault injection.
  bool noAnswer = false;
  bool chatty = false;            // streams NMEA text and ignores requests, as a GPS mouse does
  bool refuseDumpMode = false;
  bool gpsInvalid = false;
  bool emptyInfo = false;
  bool garbledInfo = false;      // information answer with unreadable texts
  bool badMemorySize = false;    // reports a used size no record layout allows
  bool settingFail = false;      // accepts settings but cannot store them
  long long unplugAfter = -1;    // close the line after this many bytes of download data
  int corruptBlock = 0;          // damage the n-th block answer (1-based), once
  int baud = 0;                  // 0: as fast as the line takes it
};

// Null with `error` set when the arguments are not understood.
std::optional<EmulatorOptions> ParseEmulatorOptions(int argc, char** argv, std::string& error);

extern const char* const kEmulatorUsage;

}  // namespace quillon::orvex
