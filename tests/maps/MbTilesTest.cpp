// MBTiles files made here with SQLite: rows counted from the south, the
// metadata, and files that are no MBTiles, cut short or locked.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "maps/MbTiles.h"
#include "platform/Utf8Path.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

// An SQLite file written by the test, closed when it goes.
class Database {
 public:
  explicit Database(const std::string& path) {
    if (sqlite3_open(path.c_str(), &db_) != SQLITE_OK) ADD_FAILURE() << "cannot make " << path;
  }
  ~Database() { sqlite3_close(db_); }
  void Run(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
      ADD_FAILURE() << sql << ": " << (error ? error : "?");
    }
    sqlite3_free(error);
  }
  void AddTile(int z, int column, int tmsRow, const std::string& bytes) {
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db_, "INSERT INTO tiles VALUES (?, ?, ?, ?)", -1, &insert, nullptr);
    sqlite3_bind_int(insert, 1, z);
    sqlite3_bind_int(insert, 2, column);
    sqlite3_bind_int(insert, 3, tmsRow);
    sqlite3_bind_blob(insert, 4, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
  }

 private:
  sqlite3* db_ = nullptr;
};

void MakeTables(Database& db) {
  db.Run("CREATE TABLE metadata (name TEXT, value TEXT)");
  db.Run("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)");
  db.Run("CREATE UNIQUE INDEX tile_index ON tiles (zoom_level, tile_column, tile_row)");
}

class MbTilesTest : public ::testing::Test {
 protected:
  std::string PathOf(const char* name) const { return Utf8Text(folder_.Path() / name); }
  testing::TempFolder folder_;
};

TEST_F(MbTilesTest, ReadsMetadataAndTilesInTmsRows) {
  const std::string path = PathOf("area.mbtiles");
  {
    Database db(path);
    MakeTables(db);
    db.Run("INSERT INTO metadata VALUES ('name', 'Taipei'), ('format', 'png'), "
           "('bounds', '121.45, 24.95,121.65,25.15'), ('minzoom', '2'), ('maxzoom', '14'), "
           "('attribution', '\xC2\xA9 OpenStreetMap contributors'), ('type', 'baselayer')");
    // Zoom 2 has rows 0 (south) to 3 (north).
    db.AddTile(2, 1, 3, std::string("north\0row", 9));
    db.AddTile(2, 1, 0, "south row");
    db.AddTile(0, 0, 0, "world");
  }
  std::string error;
  const std::unique_ptr<MbTiles> tiles = MbTiles::Open(path, error);
  ASSERT_TRUE(tiles) << error;
  const MbTilesMetadata& metadata = tiles->Metadata();
  EXPECT_EQ(metadata.name, "Taipei");
  EXPECT_EQ(metadata.format, "png");
  EXPECT_TRUE(metadata.hasBounds);
  EXPECT_DOUBLE_EQ(metadata.west, 121.45);
  EXPECT_DOUBLE_EQ(metadata.south, 24.95);
  EXPECT_DOUBLE_EQ(metadata.east, 121.65);
  EXPECT_DOUBLE_EQ(metadata.north, 25.15);
  EXPECT_EQ(metadata.minZoom, 2);
  EXPECT_EQ(metadata.maxZoom, 14);
  EXPECT_EQ(metadata.attribution, "\xC2\xA9 OpenStreetMap contributors");

  struct Case {
    int z, x, y;
    std::optional<std::string> bytes;
  } const cases[] = {
      {2, 1, 0, std::string("north\0row", 9)},
      {2, 1, 3, "south row"},
      {0, 0, 0, "world"},
      {2, 1, 1, std::nullopt},
      {2, 2, 0, std::nullopt},
      {3, 1, 0, std::nullopt},
      {2, 4, 0, std::nullopt},
      {2, 1, -1, std::nullopt},
      {31, 0, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    const MbTilesTile tile = tiles->Tile(c.z, c.x, c.y);
    EXPECT_EQ(tile.bytes, c.bytes) << c.z << "/" << c.x << "/" << c.y;
    EXPECT_EQ(tile.error, "") << c.z << "/" << c.x << "/" << c.y;
  }
}

TEST_F(MbTilesTest, MissingMetadataIsLeftUnknown) {
  const std::string path = PathOf("bare.mbtiles");
  {
    Database db(path);
    db.Run("CREATE TABLE tiles (zoom_level INTEGER, tile_column INTEGER, tile_row INTEGER, tile_data BLOB)");
    db.AddTile(1, 0, 0, "t");
  }
  std::string error;
  std::unique_ptr<MbTiles> tiles = MbTiles::Open(path, error);
  ASSERT_TRUE(tiles) << error;
  EXPECT_EQ(tiles->Metadata().minZoom, -1);
  EXPECT_FALSE(tiles->Metadata().hasBounds);
  EXPECT_EQ(tiles->Tile(1, 0, 1).bytes, "t");
}

TEST_F(MbTilesTest, FilesThatAreNoMbTilesSaySo) {
  std::ofstream(Utf8Path(PathOf("notes.txt"))) << "These are not map tiles, just some text that is long enough.";
  std::ofstream(Utf8Path(PathOf("empty.mbtiles")));
  {
    Database db(PathOf("other.sqlite"));
    db.Run("CREATE TABLE photos (name TEXT)");
  }
  std::filesystem::create_directory(folder_.Path() / "folder.mbtiles");
  struct Case {
    std::string path;
    std::string message;
  } const cases[] = {
      {PathOf("notes.txt"), " is not an MBTiles file (not an SQLite database)"},
      {PathOf("empty.mbtiles"), " is not an MBTiles file (not an SQLite database)"},
      {PathOf("other.sqlite"), " is not an MBTiles file (it has no tiles table)"},
      {PathOf("missing.mbtiles"), ": no such file"},
      {PathOf("folder.mbtiles"), " is not a file"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(MbTiles::Open(c.path, error));
    EXPECT_EQ(error, c.path + c.message);
  }
}

TEST_F(MbTilesTest, FileCutShortSaysSo) {
  const std::string path = PathOf("cut.mbtiles");
  {
    Database db(path);
    MakeTables(db);
    db.Run("BEGIN");
    for (int x = 0; x < 256; ++x) db.AddTile(8, x, 0, std::string(2000, static_cast<char>(x)));
    db.Run("COMMIT");
  }
  const auto size = std::filesystem::file_size(Utf8Path(path));
  ASSERT_GT(size, 256u * 2000);
  std::filesystem::resize_file(Utf8Path(path), size / 2);
  std::string error;
  EXPECT_FALSE(MbTiles::Open(path, error));
  EXPECT_EQ(error, path + " is cut short (an incomplete copy?)");

  std::filesystem::resize_file(Utf8Path(path), 60);
  EXPECT_FALSE(MbTiles::Open(path, error));
  EXPECT_EQ(error, path + " is cut short (an incomplete copy?)");
}

TEST_F(MbTilesTest, DamagedPagesGiveAnErrorForTheTile) {
  const std::string path = PathOf("damaged.mbtiles");
  {
    Database db(path);
    MakeTables(db);
    db.Run("BEGIN");
    for (int x = 0; x < 64; ++x) db.AddTile(6, x, 0, std::string(3000, 'a'));
    db.Run("COMMIT");
  }
  std::string error;
  std::unique_ptr<MbTiles> tiles = MbTiles::Open(path, error);
  ASSERT_TRUE(tiles) << error;
  // Overwrite the second half of the file (where the table's pages are)
  // with noise, after the file was opened.
  const auto size = std::filesystem::file_size(Utf8Path(path));
  {
    std::fstream file(Utf8Path(path), std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(static_cast<std::streamoff>(size / 2));
    for (std::uintmax_t i = size / 2; i < size; ++i) file.put(static_cast<char>(0xA5));
  }
  bool sawError = false;
  for (int x = 0; x < 64; ++x) {
    const MbTilesTile tile = tiles->Tile(6, x, 63);
    if (!tile.error.empty()) {
      sawError = true;
      EXPECT_FALSE(tile.bytes);
      EXPECT_TRUE(tile.error.starts_with(path + " is damaged")) << tile.error;
    }
  }
  EXPECT_TRUE(sawError);
}

TEST_F(MbTilesTest, FileLockedByAWriterSaysSo) {
  const std::string path = PathOf("locked.mbtiles");
  Database writer(path);
  MakeTables(writer);
  writer.Run("BEGIN EXCLUSIVE");
  writer.Run("INSERT INTO metadata VALUES ('name', 'in progress')");
  std::string error;
  EXPECT_FALSE(MbTiles::Open(path, error));
  EXPECT_EQ(error, path + " is locked by another program");
  writer.Run("COMMIT");
  EXPECT_TRUE(MbTiles::Open(path, error)) << error;
}

}  // namespace
}  // namespace quillon
