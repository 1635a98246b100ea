// How long tiles stay fresh, the disk cache's files, records and size limit,
// and where the per-user folders are.

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

#include "maps/MapFolders.h"
#include "maps/TileCache.h"
#include "maps/TileFreshness.h"
#include "platform/Utf8Path.h"
#include "tests/support/Environment.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

// 1994-11-06 08:49:37 UTC.
constexpr std::int64_t kSample = 784111777;

TEST(HttpDateTest, ParsesTheThreeFormsAndNothingElse) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> expected;
  } const cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", kSample},
      {"Sunday, 06-Nov-94 08:49:37 GMT", kSample},
      {"Sun Nov  6 08:49:37 1994", kSample},
      {"  Sun, 06 Nov 1994 08:49:37 GMT  ", kSample},
      {"Thu, 01 Jan 1970 00:00:00 GMT", 0},
      {"Wed, 01 Jan 2031 00:00:01 GMT", (61 * 365 + 15) * 86400 + 1},
      {"Sun, 06 Nov 1994 08:49:37 CET", std::nullopt},
      {"Sun, 31 Feb 1994 08:49:37 GMT", std::nullopt},
      {"Sun, 06 Nov 1994 24:00:00 GMT", std::nullopt},
      {"Sun, 06 Foo 1994 08:49:37 GMT", std::nullopt},
      {"0", std::nullopt},
      {"-1", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseHttpDate(c.text), c.expected) << '"' << c.text << '"';
}

TEST(TileFreshnessTest, LifetimeFromTheServersHeaders) {
  const std::int64_t now = 1'800'000'000;
  struct Case {
    const char* what;
    FreshnessHeaders headers;
    std::int64_t lifetime;
  } const cases[] = {
      {"max-age", {.cacheControl = "max-age=3600"}, 3600},
      {"max-age among others", {.cacheControl = "public, MAX-AGE=86400, stale-while-revalidate=60"}, 86400},
      {"quoted max-age", {.cacheControl = "max-age=\"120\""}, 120},
      {"max-age less the answer's age", {.cacheControl = "max-age=3600", .age = "100"}, 3500},
      {"age beyond max-age", {.cacheControl = "max-age=60", .age = "100"}, 0},
      {"max-age wins over Expires",
       {.cacheControl = "max-age=60", .expires = "Sun, 13 Nov 1994 08:49:37 GMT", .date = "Sun, 06 Nov 1994 08:49:37 GMT"},
       60},
      {"no-cache", {.cacheControl = "no-cache, max-age=3600"}, 0},
      {"no-store", {.cacheControl = "no-store"}, 0},
      {"unreadable max-age", {.cacheControl = "max-age=soon"}, 0},
      {"huge max-age", {.cacheControl = "max-age=99999999999999999999999"}, 2147483647},
      {"Expires counted from the server's Date",
       {.expires = "Sun, 06 Nov 1994 09:49:37 GMT", .date = "Sun, 06 Nov 1994 08:49:37 GMT"}, 3600},
      {"Expires in the past", {.expires = "Sun, 06 Nov 1994 07:49:37 GMT", .date = "Sun, 06 Nov 1994 08:49:37 GMT"}, 0},
      {"Expires that is no date", {.expires = "0"}, 0},
      {"nothing said", {}, 7 * 24 * 3600},
      {"only other directives", {.cacheControl = "public"}, 7 * 24 * 3600},
  };
  for (const Case& c : cases) EXPECT_EQ(FreshUntil(c.headers, now) - now, c.lifetime) << c.what;
}

TEST(TileFreshnessTest, ExpiresWithoutADateCountsFromNow) {
  const std::int64_t expires = *ParseHttpDate("Fri, 15 Jan 2027 08:00:00 GMT");
  EXPECT_EQ(FreshUntil({.expires = "Fri, 15 Jan 2027 08:00:00 GMT"}, expires - 500), expires);
}

TEST(TileRecordTest, RoundTripsAndSurvivesDamage) {
  const TileRecord record{1700000000, 1700604800, "\"abc\"", "Tue, 14 Nov 2023 22:13:20 GMT"};
  const TileRecord back = ParseTileRecord(FormatTileRecord(record));
  EXPECT_EQ(back.fetchedAt, record.fetchedAt);
  EXPECT_EQ(back.freshUntil, record.freshUntil);
  EXPECT_EQ(back.etag, record.etag);
  EXPECT_EQ(back.lastModified, record.lastModified);

  const TileRecord broken{1, 2, "a\r\nfresh-until=99999999999", ""};
  EXPECT_EQ(ParseTileRecord(FormatTileRecord(broken)).freshUntil, 2) << "a header cannot add a line";
  const TileRecord garbage = ParseTileRecord("fresh-until=soon\n\x01\x02\nfetched=12x");
  EXPECT_EQ(garbage.freshUntil, 0);
  EXPECT_EQ(garbage.fetchedAt, 0);
}

class TileCacheTest : public ::testing::Test {
 protected:
  TileCache MakeCache(std::uint64_t limit = TileCache::kDefaultLimitBytes) {
    return TileCache(Utf8Text(folder_.Path()), limit, [this] { return now_.load(); });
  }
  testing::TempFolder folder_;
  std::atomic<std::int64_t> now_{1'800'000'000};
};

TEST_F(TileCacheTest, StoresBytesAndRecordWhereTheLayoutSays) {
  TileCache cache = MakeCache();
  const TileRecord record{now_, now_ + 100, "\"e\"", "Tue, 14 Nov 2023 22:13:20 GMT"};
  ASSERT_TRUE(cache.Store("OpenStreetMap", {5, 17, 11}, std::string("\x89PNG\0bytes", 10), record));
  const std::filesystem::path path = folder_.Path() / "OpenStreetMap" / "5" / "17" / "11";
  EXPECT_EQ(cache.TilePath("OpenStreetMap", {5, 17, 11}), Utf8Text(path));
  EXPECT_EQ(std::filesystem::file_size(path), 10u);
  EXPECT_TRUE(std::filesystem::exists(path.string() + ".meta"));

  std::optional<CachedTile> tile = cache.Read("OpenStreetMap", {5, 17, 11});
  ASSERT_TRUE(tile);
  EXPECT_EQ(tile->bytes, std::string("\x89PNG\0bytes", 10));
  EXPECT_TRUE(tile->fresh);
  EXPECT_EQ(tile->record.etag, "\"e\"");
  EXPECT_FALSE(cache.Read("OpenStreetMap", {5, 17, 12}));
  EXPECT_FALSE(cache.Read("Other", {5, 17, 11}));

  now_ += 100;
  tile = cache.Read("OpenStreetMap", {5, 17, 11});
  ASSERT_TRUE(tile);
  EXPECT_FALSE(tile->fresh) << "stale, but still there to draw";

  ASSERT_TRUE(cache.Renew("OpenStreetMap", {5, 17, 11}, {now_, now_ + 50, "\"e\"", ""}));
  EXPECT_TRUE(cache.Read("OpenStreetMap", {5, 17, 11})->fresh);
  EXPECT_FALSE(cache.Renew("OpenStreetMap", {5, 17, 12}, {now_, now_ + 50, "", ""})) << "nothing to renew";

  std::filesystem::remove(path.string() + ".meta");
  tile = cache.Read("OpenStreetMap", {5, 17, 11});
  ASSERT_TRUE(tile);
  EXPECT_FALSE(tile->fresh) << "without its record a tile is due for a refetch";
  EXPECT_EQ(tile->record.etag, "");
}

TEST_F(TileCacheTest, SizeLimitRemovesTheLeastRecentlyUsed) {
  const std::string kilobyte(1000, 'x');
  const TileRecord record{0, 0, "", ""};
  const std::uint64_t perTile = 1000 + FormatTileRecord(record).size();
  const std::uint64_t limit = perTile * 3 + perTile / 2;
  const auto stored = [&](const TileCache& cache, const TileId& tile) {
    return std::filesystem::exists(cache.TilePath("S", tile));
  };
  TileCache cache = MakeCache(limit);
  const TileId a{2, 0, 0}, b{2, 1, 0}, c{2, 2, 0}, d{2, 3, 0}, e{2, 0, 1};
  for (const TileId& tile : {a, b, c}) {
    ++now_;
    ASSERT_TRUE(cache.Store("S", tile, kilobyte, record));
  }
  EXPECT_EQ(cache.DiskBytes(), perTile * 3);
  ++now_;
  ASSERT_TRUE(cache.Read("S", a)) << "a, stored first, becomes the most recently used";
  ++now_;
  ASSERT_TRUE(cache.Store("S", d, kilobyte, record));
  EXPECT_FALSE(stored(cache, b)) << "the least recently used goes first";
  EXPECT_FALSE(std::filesystem::exists(cache.TilePath("S", b) + ".meta")) << "its record goes with it";
  EXPECT_TRUE(stored(cache, a));
  EXPECT_TRUE(stored(cache, c));
  EXPECT_TRUE(stored(cache, d));
  EXPECT_EQ(cache.DiskBytes(), perTile * 3);

  // A new cache over the same folder counts what is there before it adds.
  TileCache again = MakeCache(limit);
  ++now_;
  ASSERT_TRUE(again.Store("S", e, kilobyte, record));
  EXPECT_FALSE(stored(again, c));
  EXPECT_TRUE(stored(again, a));
  EXPECT_TRUE(stored(again, d));
  EXPECT_TRUE(stored(again, e));
}

TEST(CacheFolderNameTest, PlainNamesStayAndOthersCannotCollide) {
  EXPECT_EQ(CacheFolderName("OpenStreetMap"), "OpenStreetMap");
  EXPECT_EQ(CacheFolderName("open-topo_map.v2"), "open-topo_map.v2");
  for (const char* name : {"Open Topo/Map", "..", ".", "../../etc", "", "Карта"}) {
    const std::string folder = CacheFolderName(name);
    EXPECT_EQ(folder.find('/'), std::string::npos) << name;
    EXPECT_NE(folder, name);
    EXPECT_FALSE(folder.empty() || folder.front() == '.') << name;
  }
  EXPECT_NE(CacheFolderName("a/b"), CacheFolderName("a b"));
  EXPECT_NE(CacheFolderName("a_b"), CacheFolderName("a b"));
}

#ifdef _WIN32

// One variable of the process's (wide) environment, put back at the end.
class ScopedVariable {
 public:
  explicit ScopedVariable(const wchar_t* name) : name_(name) {
    const DWORD units = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (units > 0) {
      saved_.emplace(units, L'\0');
      saved_->resize(::GetEnvironmentVariableW(name, saved_->data(), units));
    }
  }
  ~ScopedVariable() { ::SetEnvironmentVariableW(name_, saved_ ? saved_->c_str() : nullptr); }
  void Set(const wchar_t* value) const { ::SetEnvironmentVariableW(name_, value); }

 private:
  const wchar_t* name_;
  std::optional<std::wstring> saved_;
};

TEST(MapFoldersTest, FollowAppDataVariablesAndTheKnownFolders) {
  const ScopedVariable roaming(L"APPDATA");
  const ScopedVariable local(L"LOCALAPPDATA");
  roaming.Set(L"C:\\Users\\Ann\\AppData\\Roaming");
  local.Set(L"D:\\\x041A\x0430\x0440\x0442\x044B");
  EXPECT_EQ(MapSourcesFilePath(), "C:\\Users\\Ann\\AppData\\Roaming\\Quillon\\map-sources.ini");
  EXPECT_EQ(TileCacheFolder(), "D:\\\xD0\x9A\xD0\xB0\xD1\x80\xD1\x82\xD1\x8B\\Quillon\\tiles");

  // A relative or missing variable gives way to the system's own folders.
  roaming.Set(L"relative\\roaming");
  local.Set(nullptr);
  const std::filesystem::path sources = Utf8Path(MapSourcesFilePath());
  const std::filesystem::path tiles = Utf8Path(TileCacheFolder());
  EXPECT_TRUE(sources.is_absolute()) << sources;
  EXPECT_TRUE(tiles.is_absolute()) << tiles;
  const auto ends = [](const std::filesystem::path& path, std::string_view tail) {
    std::string text = Utf8Text(path);
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text.ends_with(tail);
  };
  EXPECT_TRUE(ends(sources, "\\appdata\\roaming\\quillon\\map-sources.ini")) << sources;
  EXPECT_TRUE(ends(tiles, "\\appdata\\local\\quillon\\tiles")) << tiles;
}

#else

TEST(MapFoldersTest, FollowXdgVariablesAndTheirDefaults) {
  const auto savedConfig = testing::SavedEnvironment("XDG_CONFIG_HOME");
  const auto savedCache = testing::SavedEnvironment("XDG_CACHE_HOME");
  const auto savedHome = testing::SavedEnvironment("HOME");
  testing::SetEnvironment("HOME", "/home/ann");
  testing::SetEnvironment("XDG_CONFIG_HOME", "/xdg/config");
  testing::SetEnvironment("XDG_CACHE_HOME", "/xdg/cache");
  EXPECT_EQ(MapSourcesFilePath(), "/xdg/config/quillon/map-sources.ini");
  EXPECT_EQ(TileCacheFolder(), "/xdg/cache/quillon/tiles");
  testing::SetEnvironment("XDG_CONFIG_HOME", "relative/config");
  testing::UnsetEnvironment("XDG_CACHE_HOME");
  EXPECT_EQ(MapSourcesFilePath(), "/home/ann/.config/quillon/map-sources.ini");
  EXPECT_EQ(TileCacheFolder(), "/home/ann/.cache/quillon/tiles");
  testing::RestoreEnvironment("XDG_CONFIG_HOME", savedConfig);
  testing::RestoreEnvironment("XDG_CACHE_HOME", savedCache);
  testing::RestoreEnvironment("HOME", savedHome);
}

#endif

}  // namespace
}  // namespace quillon
