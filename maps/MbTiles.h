#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace quillon {

// The metadata table's entries that a map needs; those a file leaves out
// stay empty (bounds: all zero, zooms: -1).
struct MbTilesMetadata {
  std::string name;
  std::string format;
  double west = 0.0;
  double south = 0.0;
  double east = 0.0;
  double north = 0.0;
  bool hasBounds = false;
  int minZoom = -1;
  int maxZoom = -1;
  std::string attribution;
};

struct MbTilesTile {
  // Nothing when the file has no such tile or cannot give it.
  std::optional<std::string> bytes;
  // Why the file could not give the tile ("" for a tile it does not have).
  std::string error;
};

// A tile set in one SQLite file (MBTiles), opened read-only: rows of
// tiles(zoom_level, tile_column, tile_row, tile_data), rows counted from the
// south (TMS). Safe to use from several threads (one at a time inside).
class MbTiles {
 public:
  // The file, or nothing and in `error` a sentence saying why: no such file,
  // not an SQLite database, no tiles table, cut short, locked by another
  // program.
  static std::unique_ptr<MbTiles> Open(const std::string& path, std::string& error);
  ~MbTiles();
  MbTiles(const MbTiles&) = delete;
  MbTiles& operator=(const MbTiles&) = delete;

  const MbTilesMetadata& Metadata() const { return metadata_; }

  // The tile numbered as the other sources do, rows from the north.
  MbTilesTile Tile(int z, int x, int y);

 private:
  MbTiles(std::string path, sqlite3* db, sqlite3_stmt* select, MbTilesMetadata metadata);

  std::string path_;
  sqlite3* db_;
  sqlite3_stmt* select_;
  MbTilesMetadata metadata_;
  std::mutex mutex_;
};

}  // namespace quillon
