#include "maps/MbTiles.h"

#include <sqlite3.h>

#include <array>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/Utf8Path.h"

namespace quillon {
namespace {

// How long a read waits for another program's write to finish.
constexpr int kBusyTimeoutMilliseconds = 2000;

std::string SqliteText(const unsigned char* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

std::optional<double> ParseDouble(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Why the file at `path` cannot be an intact SQLite database, judged from its
// first 100 bytes against its size; "" when it may be one. SQLite itself
// would open a file cut short and fail only at the first page it misses.
std::string HeaderFault(const std::filesystem::path& path) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return "cannot be read";
  std::array<unsigned char, 100> header{};
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot be read";
  in.read(reinterpret_cast<char*>(header.data()), header.size());
  if (static_cast<std::size_t>(in.gcount()) < 16 || std::string_view(reinterpret_cast<const char*>(header.data()), 16) !=
                                                        std::string_view("SQLite format 3\0", 16)) {
    return "is not an MBTiles file (not an SQLite database)";
  }
  if (static_cast<std::size_t>(in.gcount()) < header.size()) return "is cut short (an incomplete copy?)";
  const auto bigEndian = [&](std::size_t at, std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) value = value << 8 | header[at + i];
    return value;
  };
  const std::uint64_t pageSize = bigEndian(16, 2) == 1 ? 65536 : bigEndian(16, 2);
  // The page count at offset 28 is valid only when the change counter at 24
  // matches the version at 92 (files of SQLite 3.7.0 and later).
  const std::uint64_t pages = bigEndian(28, 4);
  if (pages != 0 && bigEndian(24, 4) == bigEndian(92, 4) && size < pages * pageSize) {
    return "is cut short (an incomplete copy?)";
  }
  return "";
}

std::string Describe(sqlite3* db, int code) {
  switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "is locked by another program";
    case SQLITE_NOTADB:
      return "is not an MBTiles file (not an SQLite database)";
    case SQLITE_CORRUPT:
      return "is damaged (" + std::string(db ? sqlite3_errmsg(db) : sqlite3_errstr(code)) + ")";
    default:
      return "cannot be read (" + std::string(db ? sqlite3_errmsg(db) : sqlite3_errstr(code)) + ")";
  }
}

// The metadata table, which a file may lack: its values are then unknown.
int ReadMetadata(sqlite3* db, MbTilesMetadata& metadata) {
  sqlite3_stmt* statement = nullptr;
  int code = sqlite3_prepare_v2(db, "SELECT name, value FROM metadata", -1, &statement, nullptr);
  if (code != SQLITE_OK) {
    sqlite3_finalize(statement);
    return code == SQLITE_ERROR ? SQLITE_OK : code;
  }
  while ((code = sqlite3_step(statement)) == SQLITE_ROW) {
    const std::string name = SqliteText(sqlite3_column_text(statement, 0));
    const std::string value = SqliteText(sqlite3_column_text(statement, 1));
    if (name == "name") {
      metadata.name = value;
    } else if (name == "format") {
      metadata.format = value;
    } else if (name == "attribution") {
      metadata.attribution = value;
    } else if (name == "minzoom" || name == "maxzoom") {
      const std::optional<double> zoom = ParseDouble(value);
      if (zoom && *zoom >= 0 && *zoom <= 30 && *zoom == static_cast<int>(*zoom)) {
        (name == "minzoom" ? metadata.minZoom : metadata.maxZoom) = static_cast<int>(*zoom);
      }
    } else if (name == "bounds") {
      std::array<double, 4> corners{};
      std::string_view rest = value;
      std::size_t found = 0;
      for (; found < corners.size() && !rest.empty(); ++found) {
        const std::size_t comma = rest.find(',');
        const std::optional<double> number = ParseDouble(rest.substr(0, comma));
        if (!number) break;
        corners[found] = *number;
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
      }
      if (found == corners.size() && rest.empty()) {
        metadata.west = corners[0];
        metadata.south = corners[1];
        metadata.east = corners[2];
        metadata.north = corners[3];
        metadata.hasBounds = true;
      }
    }
  }
  sqlite3_finalize(statement);
  return code == SQLITE_DONE ? SQLITE_OK : code;
}

}  // namespace

std::unique_ptr<MbTiles> MbTiles::Open(const std::string& path, std::string& error) {
  const std::filesystem::path filePath = Utf8Path(path);
  std::error_code fileError;
  if (!std::filesystem::is_regular_file(filePath, fileError)) {
    error = path + (std::filesystem::exists(filePath, fileError) ? " is not a file" : ": no such file");
    return nullptr;
  }
  if (const std::string fault = HeaderFault(filePath); !fault.empty()) {
    error = path + " " + fault;
    return nullptr;
  }
  sqlite3* db = nullptr;
  int code = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
  sqlite3_stmt* select = nullptr;
  MbTilesMetadata metadata;
  if (code == SQLITE_OK) code = sqlite3_busy_timeout(db, kBusyTimeoutMilliseconds);
  if (code == SQLITE_OK) code = ReadMetadata(db, metadata);
  if (code == SQLITE_OK) {
    code = sqlite3_prepare_v2(db,
                              "SELECT tile_data FROM tiles WHERE zoom_level = ?1 AND tile_column = ?2 AND tile_row = ?3",
                              -1, &select, nullptr);
    if (code == SQLITE_ERROR) {
      error = path + " is not an MBTiles file (it has no tiles table)";
      sqlite3_close(db);
      return nullptr;
    }
  }
  if (code != SQLITE_OK) {
    error = path + " " + Describe(db, code);
    sqlite3_finalize(select);
    sqlite3_close(db);
    return nullptr;
  }
  return std::unique_ptr<MbTiles>(new MbTiles(path, db, select, std::move(metadata)));
}

MbTiles::MbTiles(std::string path, sqlite3* db, sqlite3_stmt* select, MbTilesMetadata metadata)
    : path_(std::move(path)), db_(db), select_(select), metadata_(std::move(metadata)) {}

MbTiles::~MbTiles() {
  sqlite3_finalize(select_);
  sqlite3_close(db_);
}

MbTilesTile MbTiles::Tile(int z, int x, int y) {
  MbTilesTile tile;
  if (z < 0 || z > 30) return tile;
  const std::int64_t rows = std::int64_t{1} << z;
  if (x < 0 || x >= rows || y < 0 || y >= rows) return tile;
  std::lock_guard lock(mutex_);
  sqlite3_reset(select_);
  sqlite3_bind_int(select_, 1, z);
  sqlite3_bind_int(select_, 2, x);
  sqlite3_bind_int64(select_, 3, rows - 1 - y);
  const int code = sqlite3_step(select_);
  if (code == SQLITE_ROW) {
    const void* data = sqlite3_column_blob(select_, 0);
    const int bytes = sqlite3_column_bytes(select_, 0);
    tile.bytes = std::string(static_cast<const char*>(data ? data : ""), static_cast<std::size_t>(bytes));
  } else if (code != SQLITE_DONE) {
    tile.error = path_ + " " + Describe(db_, code);
  }
  sqlite3_reset(select_);
  return tile;
}

}  // namespace quillon
