#include "maps/TileCache.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

#include "platform/AtomicFileReplace.h"
#include "platform/Utf8Path.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kRecordSuffix = ".meta";

std::int64_t SystemSeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch()).count();
}

fs::file_time_type FileTime(std::int64_t seconds) {
  return fs::file_time_type::clock::from_sys(std::chrono::sys_seconds(std::chrono::seconds(seconds)));
}

std::optional<std::string> ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool WriteWhole(const fs::path& path, std::string_view bytes) {
  return WriteFileAtomically(Utf8Text(path), [&](std::ostream& out) { out.write(bytes.data(), bytes.size()); });
}

std::uint64_t SizeOrZero(const fs::path& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

bool IsPlain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == '.';
}

// A stored tile file: not a record, not a temporary file of a write.
bool IsTileFile(const fs::path& path) {
  const std::string name = Utf8Text(path.filename());
  return !name.empty() && name.front() != '.' && !name.ends_with(kRecordSuffix);
}

fs::path RecordPathOf(const fs::path& tilePath) {
  fs::path record = tilePath;
  record += std::string(kRecordSuffix);
  return record;
}

}  // namespace

std::string FormatTileRecord(const TileRecord& record) {
  // Header values cannot hold line breaks, but a record must not be
  // corrupted by a server that sends them anyway.
  const auto oneLine = [](std::string value) {
    std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
  };
  return "fetched=" + std::to_string(record.fetchedAt) + "\nfresh-until=" + std::to_string(record.freshUntil) +
         "\netag=" + oneLine(record.etag) + "\nlast-modified=" + oneLine(record.lastModified) + "\n";
}

TileRecord ParseTileRecord(std::string_view text) {
  TileRecord record;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = line.substr(0, equals);
    const std::string_view value = line.substr(equals + 1);
    const auto number = [&](std::int64_t& target) {
      std::int64_t parsed = 0;
      const auto [last, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
      if (error == std::errc() && last == value.data() + value.size()) target = parsed;
    };
    if (key == "fetched") {
      number(record.fetchedAt);
    } else if (key == "fresh-until") {
      number(record.freshUntil);
    } else if (key == "etag") {
      record.etag = std::string(value);
    } else if (key == "last-modified") {
      record.lastModified = std::string(value);
    }
  }
  return record;
}

std::string CacheFolderName(const std::string& sourceName) {
  std::string plain;
  for (const char c : sourceName) plain += IsPlain(c) ? c : '_';
  if (plain == sourceName && !plain.empty() && plain.front() != '.') return plain;
  // A leading dot would hide the folder, or make it "." or "..".
  if (!plain.empty() && plain.front() == '.') plain.front() = '_';
  // FNV-1a: stable across runs and platforms, unlike std::hash.
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : sourceName) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return plain.substr(0, 64) + "-" + hex;
}

TileCache::TileCache(std::string folder, std::uint64_t limitBytes, Clock clock)
    : folder_(std::move(folder)), limitBytes_(limitBytes), clock_(clock ? std::move(clock) : Clock(SystemSeconds)) {}

std::string TileCache::TilePath(const std::string& source, const TileId& tile) const {
  return Utf8Text(Utf8Path(folder_) / CacheFolderName(source) / std::to_string(tile.z) / std::to_string(tile.x) /
                  std::to_string(tile.y));
}

std::optional<CachedTile> TileCache::Read(const std::string& source, const TileId& tile) {
  const fs::path path = Utf8Path(TilePath(source, tile));
  std::optional<std::string> bytes = ReadWhole(path);
  if (!bytes) return std::nullopt;
  CachedTile cached;
  cached.bytes = std::move(*bytes);
  if (const std::optional<std::string> record = ReadWhole(RecordPathOf(path))) {
    cached.record = ParseTileRecord(*record);
  }
  const std::int64_t now = clock_();
  cached.fresh = cached.record.freshUntil > now;
  std::error_code error;
  fs::last_write_time(path, FileTime(now), error);
  return cached;
}

bool TileCache::Store(const std::string& source, const TileId& tile, std::string_view bytes,
                      const TileRecord& record) {
  const fs::path path = Utf8Path(TilePath(source, tile));
  const fs::path recordPath = RecordPathOf(path);
  std::error_code error;
  fs::create_directories(path.parent_path(), error);
  if (error) return false;
  const std::int64_t before = static_cast<std::int64_t>(SizeOrZero(path) + SizeOrZero(recordPath));
  // The bytes go first: a record beside older bytes could have them
  // confirmed by a 304 meant for the newer ones.
  if (!WriteWhole(path, bytes)) return false;
  const bool recorded = WriteWhole(recordPath, FormatTileRecord(record));
  if (!recorded) fs::remove(recordPath, error);
  fs::last_write_time(path, FileTime(clock_()), error);
  Account(static_cast<std::int64_t>(SizeOrZero(path) + SizeOrZero(recordPath)) - before);
  return recorded;
}

bool TileCache::Renew(const std::string& source, const TileId& tile, const TileRecord& record) {
  const fs::path path = Utf8Path(TilePath(source, tile));
  std::error_code error;
  if (!fs::is_regular_file(path, error)) return false;
  const fs::path recordPath = RecordPathOf(path);
  const std::int64_t before = static_cast<std::int64_t>(SizeOrZero(recordPath));
  if (!WriteWhole(recordPath, FormatTileRecord(record))) return false;
  fs::last_write_time(path, FileTime(clock_()), error);
  Account(static_cast<std::int64_t>(SizeOrZero(recordPath)) - before);
  return true;
}

void TileCache::Account(std::int64_t change) {
  std::uint64_t total = 0;
  {
    std::lock_guard lock(mutex_);
    if (!knownBytes_) {
      knownBytes_ = DiskBytes();
    } else {
      knownBytes_ = change < 0 && static_cast<std::uint64_t>(-change) > *knownBytes_ ? 0 : *knownBytes_ + change;
    }
    total = *knownBytes_;
  }
  if (total > limitBytes_) TrimTo(limitBytes_ / 10 * 9);
}

std::uint64_t TileCache::DiskBytes() const {
  std::uint64_t total = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(Utf8Path(folder_), error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) total += SizeOrZero(it->path());
  }
  return total;
}

void TileCache::TrimTo(std::uint64_t targetBytes) {
  struct Entry {
    fs::path path;
    fs::file_time_type used;
    std::uint64_t bytes;
  };
  std::lock_guard lock(mutex_);
  std::vector<Entry> tiles;
  std::uint64_t total = 0;
  std::error_code error;
  for (fs::recursive_directory_iterator it(Utf8Path(folder_), error), end; !error && it != end; it.increment(error)) {
    std::error_code entryError;
    if (!it->is_regular_file(entryError)) continue;
    const std::uint64_t bytes = SizeOrZero(it->path());
    total += bytes;
    if (!IsTileFile(it->path())) continue;
    const fs::file_time_type used = fs::last_write_time(it->path(), entryError);
    tiles.push_back({it->path(), used, bytes + SizeOrZero(RecordPathOf(it->path()))});
  }
  std::sort(tiles.begin(), tiles.end(), [](const Entry& a, const Entry& b) { return a.used < b.used; });
  for (const Entry& tile : tiles) {
    if (total <= targetBytes) break;
    std::error_code removeError;
    if (!fs::remove(tile.path, removeError)) continue;
    fs::remove(RecordPathOf(tile.path), removeError);
    total -= std::min(total, tile.bytes);
  }
  knownBytes_ = total;
}

}  // namespace quillon
