#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "maps/TileMath.h"

namespace quillon {

// What the cache knows of a stored tile besides its bytes. Times are seconds
// since 1970 (UTC).
struct TileRecord {
  std::int64_t fetchedAt = 0;
  std::int64_t freshUntil = 0;
  std::string etag;
  std::string lastModified;
};

// The sidecar file's text: "key=value" lines (fetched, fresh-until, etag,
// last-modified). Parsing takes what it understands and leaves the rest at
// the defaults, so a damaged sidecar gives a tile that is due for a refetch.
std::string FormatTileRecord(const TileRecord& record);
TileRecord ParseTileRecord(std::string_view text);

struct CachedTile {
  std::string bytes;
  TileRecord record;
  // A stale tile can still be drawn, but should be asked for again (with
  // the validators of its record).
  bool fresh = false;
};

// Tiles kept on disk, <folder>/<source>/<z>/<x>/<y> with the record beside
// it in <y>.meta. The files' modification times say when each tile was last
// used; when the whole passes the size limit, the least recently used go
// first, down to nine tenths of the limit. Every file is written whole or not
// at all (a temporary file renamed over it). Safe to use from several
// threads at once.
class TileCache {
 public:
  using Clock = std::function<std::int64_t()>;
  static constexpr std::uint64_t kDefaultLimitBytes = std::uint64_t{500} << 20;

  explicit TileCache(std::string folder, std::uint64_t limitBytes = kDefaultLimitBytes, Clock clock = {});

  // The tile, marked as used now; nothing when it is not stored.
  std::optional<CachedTile> Read(const std::string& source, const TileId& tile);
  bool Store(const std::string& source, const TileId& tile, std::string_view bytes, const TileRecord& record);
  // A new record for a tile whose bytes the server confirmed (304).
  bool Renew(const std::string& source, const TileId& tile, const TileRecord& record);

  // Removes least recently used tiles until the whole is within `targetBytes`.
  void TrimTo(std::uint64_t targetBytes);
  // The bytes of all tiles and records now on disk.
  std::uint64_t DiskBytes() const;

  std::string TilePath(const std::string& source, const TileId& tile) const;
  // The cache's idea of now, seconds since 1970: the time its freshness is
  // judged by.
  std::int64_t Now() const { return clock_(); }
  const std::string& Folder() const { return folder_; }

 private:
  void Account(std::int64_t change);

  std::string folder_;
  std::uint64_t limitBytes_;
  Clock clock_;
  std::mutex mutex_;
  // The bytes on disk as last counted plus what was written since; counted
  // on the first write.
  std::optional<std::uint64_t> knownBytes_;
};

// A folder name for a source: its name where that is plain (letters, digits,
// '.', '-', '_'), otherwise the plain characters and a hash of the whole
// name, so that two names never share a folder.
std::string CacheFolderName(const std::string& sourceName);

}  // namespace quillon
