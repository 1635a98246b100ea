#include "maps/MapSourcesFile.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <iterator>
#include <system_error>

#include "platform/Utf8Path.h"

namespace quillon {
namespace {

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::optional<int> ParseInt(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool HasControlCharacters(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  }
  return false;
}

// Why a URL template cannot serve tiles, or nothing when it can.
std::optional<std::string> TemplateFault(std::string_view url) {
  if (!url.starts_with("http://") && !url.starts_with("https://")) return "url must start with http:// or https://";
  if (HasControlCharacters(url) || url.find(' ') != std::string_view::npos) return "url must not contain spaces";
  if (url.find("{z}") == std::string_view::npos || url.find("{x}") == std::string_view::npos ||
      (url.find("{y}") == std::string_view::npos && url.find("{-y}") == std::string_view::npos)) {
    return "url must contain {z}, {x} and {y} or {-y}";
  }
  return std::nullopt;
}

// A section being read: the source, where it began, and whether a line of
// it already made it unusable.
struct PendingSource {
  MapSource source;
  int line = 0;
  bool hasUrl = false;
  bool broken = false;
};

class Parser {
 public:
  explicit Parser(const std::vector<std::string>& takenNames) : taken_(takenNames) {}

  void Line(int number, std::string_view raw) {
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    if (number == 1 && raw.starts_with("\xEF\xBB\xBF")) raw.remove_prefix(3);
    const std::string_view line = Trim(raw);
    if (line.empty() || line.front() == '#' || line.front() == ';') return;
    if (line.front() == '[') return Section(number, line);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return Error(number, "expected \"key = value\" or \"[name]\"");
    if (!pending_) return Error(number, "a key before the first [name] section");
    Key(number, Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
  }

  MapSourcesFile Finish() {
    Close();
    return std::move(result_);
  }

 private:
  void Error(int line, std::string message) { result_.errors.push_back({line, std::move(message)}); }

  void Section(int number, std::string_view line) {
    Close();
    std::string fault;
    const std::string_view name = line.back() == ']' ? Trim(line.substr(1, line.size() - 2)) : std::string_view();
    if (line.back() != ']') {
      fault = "a section name must end with ]";
    } else if (name.empty()) {
      fault = "empty source name";
    } else if (HasControlCharacters(name)) {
      fault = "control characters in the source name";
    }
    for (const std::string& other : taken_) {
      if (fault.empty() && SameName(other, name)) fault = "a source named \"" + other + "\" exists already";
    }
    if (!fault.empty()) {
      Error(number, fault);
      Skip(number);
      return;
    }
    pending_.emplace();
    pending_->source.name = std::string(name);
    pending_->line = number;
  }

  // Keys after a section that is not taken belong to nothing, and are not
  // reported one by one.
  void Skip(int number) {
    pending_.emplace();
    pending_->line = number;
    pending_->broken = true;
    pending_->hasUrl = true;
  }

  void Key(int number, std::string_view key, std::string_view value) {
    MapSource& source = pending_->source;
    if (pending_->broken && source.name.empty()) return;
    if (key == "url") {
      if (const std::optional<std::string> fault = TemplateFault(value)) {
        pending_->broken = true;
        return Error(number, *fault);
      }
      source.urlTemplate = std::string(value);
      pending_->hasUrl = true;
    } else if (key == "min-zoom" || key == "max-zoom") {
      const std::optional<int> zoom = ParseInt(value);
      if (!zoom || *zoom < 0 || *zoom > kMaxTileZoom) {
        pending_->broken = true;
        return Error(number, std::string(key) + " must be a whole number from 0 to " + std::to_string(kMaxTileZoom));
      }
      (key == "min-zoom" ? source.minZoom : source.maxZoom) = *zoom;
    } else if (key == "tile-size") {
      const std::optional<int> size = ParseInt(value);
      if (!size || (*size != 256 && *size != 512)) {
        pending_->broken = true;
        return Error(number, "tile-size must be 256 or 512");
      }
      source.tileSize = *size;
    } else if (key == "attribution") {
      if (HasControlCharacters(value)) return Error(number, "control characters in the attribution");
      source.attribution = std::string(value);
    } else if (key == "header") {
      const std::size_t colon = value.find(':');
      const std::string_view name = colon == std::string_view::npos ? std::string_view() : Trim(value.substr(0, colon));
      if (name.empty() || name.find_first_of(" \t") != std::string_view::npos || HasControlCharacters(value)) {
        return Error(number, "header must be \"Name: value\"");
      }
      if (SameName(name, "User-Agent")) return Error(number, "the User-Agent header is Quillon's own");
      source.headers.emplace_back(std::string(name), std::string(Trim(value.substr(colon + 1))));
    } else {
      Error(number, "unknown key \"" + std::string(key) + "\"");
    }
  }

  void Close() {
    if (!pending_) return;
    PendingSource pending = std::move(*pending_);
    pending_.reset();
    if (!pending.hasUrl) {
      Error(pending.line, "source \"" + pending.source.name + "\" has no url; it is left out");
      return;
    }
    if (pending.broken) {
      if (!pending.source.name.empty()) {
        Error(pending.line, "source \"" + pending.source.name + "\" is left out for the errors above");
      }
      return;
    }
    if (pending.source.minZoom > pending.source.maxZoom) {
      Error(pending.line, "source \"" + pending.source.name + "\" has min-zoom above max-zoom; it is left out");
      return;
    }
    taken_.push_back(pending.source.name);
    result_.sources.push_back(std::move(pending.source));
  }

  std::vector<std::string> taken_;
  std::optional<PendingSource> pending_;
  MapSourcesFile result_;
};

}  // namespace

MapSourcesFile ParseMapSources(std::string_view text, const std::vector<std::string>& takenNames) {
  Parser parser(takenNames);
  int number = 0;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    parser.Line(++number, text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
  }
  return parser.Finish();
}

std::string DescribeError(const std::string& fileName, const MapSourcesError& error) {
  if (error.line == 0) return fileName + ": " + error.message;
  return fileName + ":" + std::to_string(error.line) + ": " + error.message;
}

MapSourcesFile LoadMapSources(const std::string& path) {
  MapSourcesFile loaded;
  loaded.sources = BuiltInMapSources();
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(Utf8Path(path), error);
  if (status.type() == std::filesystem::file_type::not_found) return loaded;
  // A sources file is a few lines; a large one is someone else's file.
  constexpr std::uintmax_t kMaxBytes = 1 << 20;
  if (status.type() == std::filesystem::file_type::regular &&
      std::filesystem::file_size(Utf8Path(path), error) > kMaxBytes) {
    loaded.errors.push_back({0, "the file is larger than 1 MB; it is not read"});
    return loaded;
  }
  std::ifstream in(Utf8Path(path), std::ios::binary);
  if (status.type() != std::filesystem::file_type::regular || !in) {
    loaded.errors.push_back({0, "the file cannot be read"});
    return loaded;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::vector<std::string> builtIn;
  for (const MapSource& source : loaded.sources) builtIn.push_back(source.name);
  MapSourcesFile user = ParseMapSources(text, builtIn);
  for (MapSource& source : user.sources) loaded.sources.push_back(std::move(source));
  loaded.errors = std::move(user.errors);
  return loaded;
}

}  // namespace quillon
