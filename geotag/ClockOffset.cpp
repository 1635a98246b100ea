#include "geotag/ClockOffset.h"

#include <array>

namespace quillon {

namespace {

constexpr std::int64_t kLargestOffset = 10LL * 366 * 24 * 3600;

// The digits of one field; nothing when it is empty or holds anything else.
std::optional<std::int64_t> Field(std::string_view text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<std::int64_t> ParseClockOffset(std::string_view text) {
  std::int64_t sign = 1;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    sign = text.front() == '-' ? -1 : 1;
    text.remove_prefix(1);
  }
  std::array<std::int64_t, 3> fields{};
  std::size_t count = 0;
  while (true) {
    const std::size_t colon = text.find(':');
    if (count == fields.size()) return std::nullopt;
    const std::optional<std::int64_t> field = Field(text.substr(0, colon));
    if (!field) return std::nullopt;
    // Only the leading field may pass 59.
    if (count > 0 && *field > 59) return std::nullopt;
    fields[count++] = *field;
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  std::int64_t seconds = 0;
  for (std::size_t i = 0; i < count; ++i) seconds = seconds * 60 + fields[i];
  if (seconds > kLargestOffset) return std::nullopt;
  return sign * seconds;
}

}  // namespace quillon
