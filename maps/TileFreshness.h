#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillon {

// What a tile server said about how long its answer stays good.
struct FreshnessHeaders {
  std::string_view cacheControl{};
  std::string_view expires{};
  std::string_view date{};
  std::string_view age{};
};

// A server that says nothing gets a week: tile servers ask clients to keep
// tiles at least that long rather than ask again.
inline constexpr std::int64_t kDefaultTileLifetimeSeconds = 7 * 24 * 3600;

// Seconds since 1970 (UTC) of an HTTP date: the IMF-fixdate
// "Sun, 06 Nov 1994 08:49:37 GMT" and the obsolete RFC 850
// ("Sunday, 06-Nov-94 08:49:37 GMT") and asctime ("Sun Nov  6 08:49:37 1994")
// forms; nothing for anything else.
std::optional<std::int64_t> ParseHttpDate(std::string_view text);

// When an answer received at `now` stops being fresh (seconds since 1970):
// Cache-Control max-age (or no-cache / no-store: at once) wins over Expires,
// which counts from the server's Date where there is one, so that a wrong
// local clock does not matter; an Expires that is no date means "already
// expired". The Age the answer already had is taken off. With neither,
// kDefaultTileLifetimeSeconds.
std::int64_t FreshUntil(const FreshnessHeaders& headers, std::int64_t now);

}  // namespace quillon
