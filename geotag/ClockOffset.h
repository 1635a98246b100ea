#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// The seconds the logger's (GPS) clock is ahead of the camera's, added to a
// photo's time: "+90" means the camera is 90 s slow. Written "[+-]SS",
// "[+-]MM:SS" or "[+-]HH:MM:SS"; after the first field, minutes and seconds
// are below 60. Nothing for any other text or a value beyond ten years.
std::optional<std::int64_t> ParseClockOffset(std::string_view text);

}  // namespace quillon
