#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>

#include "maps/TileMath.h"

namespace quillon {

// The tiles a map keeps in memory: the bytes as they came and, once a tile
// is drawn, its decoded picture (a window toolkit's image; decoded on first
// use, so tiles that only arrive are not decoded). When more than `limit`
// tiles are held, the least recently used go. Not thread-safe: used from
// the thread that draws.
template <typename Picture>
class TileMemory {
 public:
  // Nothing for bytes that are no picture.
  using Decoder = std::function<std::optional<Picture>(const std::string& bytes)>;

  TileMemory(std::size_t limit, Decoder decode) : limit_(limit < 1 ? 1 : limit), decode_(std::move(decode)) {}

  // Keeps (or replaces) the tile's bytes; a replaced picture is decoded anew.
  void Put(const TileId& tile, std::string bytes) {
    Entry& entry = entries_[tile];
    entry.bytes = std::move(bytes);
    entry.picture.reset();
    entry.decoded = false;
    entry.used = ++clock_;
    while (entries_.size() > limit_) Evict();
  }

  bool Has(const TileId& tile) const { return entries_.contains(tile); }
  std::size_t Size() const { return entries_.size(); }
  void Clear() { entries_.clear(); }

  // The tile's picture, marked as used; nullptr when the tile is not held or
  // its bytes could not be decoded.
  const Picture* Get(const TileId& tile) {
    const auto found = entries_.find(tile);
    if (found == entries_.end()) return nullptr;
    Entry& entry = found->second;
    entry.used = ++clock_;
    if (!entry.decoded) {
      entry.picture = decode_(entry.bytes);
      entry.decoded = true;
    }
    return entry.picture ? &*entry.picture : nullptr;
  }

 private:
  struct Entry {
    std::string bytes;
    std::optional<Picture> picture;
    bool decoded = false;
    std::uint64_t used = 0;
  };

  void Evict() {
    auto oldest = entries_.begin();
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if (it->second.used < oldest->second.used) oldest = it;
    }
    entries_.erase(oldest);
  }

  std::size_t limit_;
  Decoder decode_;
  std::map<TileId, Entry> entries_;
  std::uint64_t clock_ = 0;
};

}  // namespace quillon
