#pragma once

#include <string>
#include <string_view>

#include "orvex/LoggerRecord.h"

namespace quillon::orvex {

// Appends the "$GPGGA" and the "$GPRMC" line of one fix to `out`, each ended
// by CR LF and carrying its NMEA checksum. With `tagField` both lines start
// with the three-character tag field and a comma: "---" for a fix without a
// tag, otherwise the number right-aligned and padded with '-' ("--7", "-12").
void RenderFix(const LoggerFix& fix, bool tagField, std::string& out);

// The two hexadecimal digits of the XOR of every character between '$' and '*'.
std::string NmeaChecksum(std::string_view sentenceBody);

}  // namespace quillon::orvex
