#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "orvex/LoggerRecord.h"

namespace quillon::orvex {

// Takes the fixes of an NMEA log: one fix per "$GPRMC" line, completed with
// the satellites, HDOP and altitude of the "$GPGGA" line before it. Lines may
// carry the three-character tag field in front ("---", "--7", "123").
// False with `error` set when the file cannot be read.
bool ReadTrackFile(const std::string& path, std::vector<LoggerFix>& fixes, std::string& error);
std::vector<LoggerFix> ParseTrackText(std::string_view text);

}  // namespace quillon::orvex
