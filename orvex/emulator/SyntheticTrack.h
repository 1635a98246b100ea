#pragma once

#include <vector>

#include "orvex/LoggerRecord.h"

namespace quillon::orvex {

// A track of `count` fixes, five seconds apart, that starts shortly before
// midnight on New Year's Eve 2008 (UTC), so it crosses a day, a month and a
// year. It walks north-east from Taipei; runs of 20 fixes alternate between
// no tag and a tag from the simulated tag button (one untagged run, then two
// runs with the next two tag numbers, wrapping after 999), and two of every
// 37 fixes have no position (status V).
std::vector<LoggerFix> SyntheticTrack(int count);

}  // namespace quillon::orvex
