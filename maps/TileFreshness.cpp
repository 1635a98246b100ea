#include "maps/TileFreshness.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <limits>
#include <vector>

namespace quillon {
namespace {

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameWord(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return Lower(x) == Lower(y);
         });
}

std::optional<std::int64_t> Number(std::string_view text) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0) return std::nullopt;
  return value;
}

std::optional<int> Month(std::string_view name) {
  static constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                               "jul", "aug", "sep", "oct", "nov", "dec"};
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (SameWord(name, kMonths[i])) return static_cast<int>(i) + 1;
  }
  return std::nullopt;
}

// "08:49:37" as seconds of the day.
std::optional<std::int64_t> TimeOfDay(std::string_view text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
  const auto hours = Number(text.substr(0, 2));
  const auto minutes = Number(text.substr(3, 2));
  const auto seconds = Number(text.substr(6, 2));
  if (!hours || !minutes || !seconds || *hours > 23 || *minutes > 59 || *seconds > 60) return std::nullopt;
  return *hours * 3600 + *minutes * 60 + *seconds;
}

std::optional<std::int64_t> Compose(std::int64_t year, std::optional<int> month, std::int64_t day,
                                    std::optional<std::int64_t> seconds) {
  if (!month || !seconds || year < 1970 || year > 9999 || day < 1 || day > 31) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(year)), std::chrono::month(*month),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  return std::chrono::sys_days(date).time_since_epoch().count() * std::int64_t{86400} + *seconds;
}

std::vector<std::string_view> Words(std::string_view text) {
  std::vector<std::string_view> words;
  while (!text.empty()) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    const std::size_t end = text.find(' ', start);
    words.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end);
  }
  return words;
}

}  // namespace

std::optional<std::int64_t> ParseHttpDate(std::string_view text) {
  const std::vector<std::string_view> words = Words(Trim(text));
  // "Sun, 06 Nov 1994 08:49:37 GMT"
  if (words.size() == 6 && words[0].ends_with(',') && words[5] == "GMT") {
    const auto day = Number(words[1]);
    const auto year = Number(words[3]);
    if (!day || !year || words[3].size() != 4) return std::nullopt;
    return Compose(*year, Month(words[2]), *day, TimeOfDay(words[4]));
  }
  // "Sunday, 06-Nov-94 08:49:37 GMT": two-digit years are taken as 1970-2069.
  if (words.size() == 4 && words[0].ends_with(',') && words[3] == "GMT" && words[1].size() == 9 &&
      words[1][2] == '-' && words[1][6] == '-') {
    const auto day = Number(words[1].substr(0, 2));
    const auto shortYear = Number(words[1].substr(7, 2));
    if (!day || !shortYear) return std::nullopt;
    return Compose(*shortYear + (*shortYear < 70 ? 2000 : 1900), Month(words[1].substr(3, 3)), *day,
                   TimeOfDay(words[2]));
  }
  // "Sun Nov  6 08:49:37 1994"
  if (words.size() == 5 && words[0].size() == 3) {
    const auto day = Number(words[2]);
    const auto year = Number(words[4]);
    if (!day || !year || words[4].size() != 4) return std::nullopt;
    return Compose(*year, Month(words[1]), *day, TimeOfDay(words[3]));
  }
  return std::nullopt;
}

std::int64_t FreshUntil(const FreshnessHeaders& headers, std::int64_t now) {
  std::optional<std::int64_t> maxAge;
  bool mustRevalidate = false;
  std::string_view directives = headers.cacheControl;
  while (!directives.empty()) {
    const std::size_t comma = directives.find(',');
    const std::string_view directive = Trim(directives.substr(0, comma));
    directives = comma == std::string_view::npos ? std::string_view() : directives.substr(comma + 1);
    const std::size_t equals = directive.find('=');
    const std::string_view name = Trim(directive.substr(0, equals));
    if (SameWord(name, "no-cache") || SameWord(name, "no-store")) {
      mustRevalidate = true;
    } else if (SameWord(name, "max-age") && equals != std::string_view::npos) {
      std::string_view value = Trim(directive.substr(equals + 1));
      if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
      // A number too large to read is as good as forever.
      if (const auto seconds = Number(value)) {
        maxAge = std::min<std::int64_t>(*seconds, std::numeric_limits<std::int32_t>::max());
      } else if (!value.empty() && value.find_first_not_of("0123456789") == std::string_view::npos) {
        maxAge = std::numeric_limits<std::int32_t>::max();
      } else {
        mustRevalidate = true;
      }
    }
  }
  const std::int64_t age = Number(Trim(headers.age)).value_or(0);
  if (mustRevalidate) return now;
  if (maxAge) return now + std::max<std::int64_t>(*maxAge - age, 0);
  if (!Trim(headers.expires).empty()) {
    const std::optional<std::int64_t> expires = ParseHttpDate(headers.expires);
    if (!expires) return now;
    const std::int64_t served = ParseHttpDate(headers.date).value_or(now);
    return now + std::max<std::int64_t>(*expires - served - age, 0);
  }
  return now + kDefaultTileLifetimeSeconds;
}

}  // namespace quillon
