// The tile fetcher against tests/maps/tile_server.py on the loopback
// interface: cache use, revalidation, remembered errors, timeouts, the
// connection limit and what it tells the server about itself.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "maps/TileCache.h"
#include "maps/TileFetcher.h"
#include "platform/HttpClient.h"
#include "platform/Utf8Path.h"
#include "tests/maps/TileServer.h"
#include "tests/support/TempFolder.h"

namespace quillon {
namespace {

using testing::ServedTile;
using testing::TileServer;

// Waits are long for a loaded machine; they end as soon as what is awaited
// happens.
constexpr auto kPatience = std::chrono::seconds(30);

std::string PathOf(const TileId& tile) {
  return "/" + std::to_string(tile.z) + "/" + std::to_string(tile.x) + "/" + std::to_string(tile.y) + ".png";
}

// A fetcher of the test server's tiles with its cache in a fresh folder, a
// clock the test moves, and what it delivered.
class FetcherTest : public testing::LoopbackTest {
 protected:
  FetcherTest()
      : cache_(Utf8Text(folder_.Path()), TileCache::kDefaultLimitBytes, [this] { return now_.load(); }),
        http_(MakeHttpClient()) {
    source_.name = "Test";
    source_.urlTemplate = server_.Origin() + "/{z}/{x}/{y}.png";
    source_.maxZoom = 18;
  }

  void Start(TileFetcherOptions options = {}) {
    fetcher_ = std::make_unique<TileFetcher>(
        source_, cache_, *http_,
        [this](const TileId& tile, const std::string& bytes) {
          std::lock_guard lock(mutex_);
          delivered_[tile].push_back(bytes);
          changed_.notify_all();
        },
        [this](const std::string& text) {
          std::lock_guard lock(mutex_);
          statuses_.push_back(text);
          changed_.notify_all();
        },
        options);
  }

  bool WaitUntil(const std::function<bool()>& done) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kPatience, done);
  }

  // Wants the tiles and waits until the fetcher has done all it will.
  void Fetch(const std::vector<TileId>& tiles) {
    fetcher_->Want(tiles);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (fetcher_->Pending() != 0 && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(fetcher_->Pending(), 0u) << "the fetcher did not finish";
  }

  std::vector<std::string> Delivered(const TileId& tile) {
    std::lock_guard lock(mutex_);
    return delivered_[tile];
  }

  void Serve(const TileId& tile, const ServedTile& served) { server_.Serve(PathOf(tile), served); }

  TileServer server_;
  quillon::testing::TempFolder folder_;
  std::atomic<std::int64_t> now_{1'800'000'000};
  TileCache cache_;
  std::unique_ptr<HttpClient> http_;
  MapSource source_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<TileId, std::vector<std::string>> delivered_;
  std::vector<std::string> statuses_;
  // Last, so that it goes first: its threads use all of the above.
  std::unique_ptr<TileFetcher> fetcher_;
};

const TileId kTile{3, 1, 2};
const TileId kOtherTile{3, 2, 2};

TEST_F(FetcherTest, FreshTileComesFromTheCacheWithoutARequest) {
  Serve(kTile, {.body = "tile-3-1-2", .headers = {{"Cache-Control", "max-age=3600"}}});
  Start();
  Fetch({kTile});
  EXPECT_EQ(Delivered(kTile), std::vector<std::string>{"tile-3-1-2"});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 1);
  EXPECT_EQ(fetcher_->Status(), "");

  // Another fetcher (a later session) over the same cache, within the hour.
  now_ += 3000;
  Start();
  Fetch({kTile});
  EXPECT_EQ(Delivered(kTile), (std::vector<std::string>{"tile-3-1-2", "tile-3-1-2"}));
  EXPECT_EQ(server_.Count(PathOf(kTile)), 1);
}

TEST_F(FetcherTest, StaleTileIsRevalidatedAndA304RenewsIt) {
  Serve(kTile, {.body = "first", .headers = {{"Cache-Control", "max-age=60"}}, .etag = "\"v1\""});
  Start();
  Fetch({kTile});
  ASSERT_EQ(server_.Count(PathOf(kTile)), 1);
  EXPECT_EQ(server_.Header(PathOf(kTile), "If-None-Match"), "");

  now_ += 120;
  Fetch({kTile});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 2);
  EXPECT_EQ(server_.Header(PathOf(kTile), "If-None-Match"), "\"v1\"");
  // The stale bytes were drawn while the server was asked; the 304 sends none.
  EXPECT_EQ(Delivered(kTile), (std::vector<std::string>{"first", "first"}));
  const std::optional<CachedTile> renewed = cache_.Read("Test", kTile);
  ASSERT_TRUE(renewed);
  EXPECT_TRUE(renewed->fresh);
  EXPECT_EQ(renewed->record.freshUntil, now_ + 60);
  EXPECT_EQ(renewed->record.etag, "\"v1\"");

  // Within the renewed minute the server is not asked.
  now_ += 30;
  Fetch({kTile});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 2);

  // A changed tile replaces the stored one.
  Serve(kTile, {.body = "second", .headers = {{"Cache-Control", "max-age=60"}}, .etag = "\"v2\""});
  now_ += 60;
  Fetch({kTile});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 3);
  EXPECT_EQ(Delivered(kTile).back(), "second");
  EXPECT_EQ(cache_.Read("Test", kTile)->bytes, "second");
}

TEST_F(FetcherTest, NotFoundIsRememberedForTheSession) {
  Start();
  Fetch({kTile});
  Fetch({kTile});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 1);
  EXPECT_TRUE(Delivered(kTile).empty());
  EXPECT_EQ(fetcher_->Status(), "Map: HTTP 404 from 127.0.0.1");
}

TEST_F(FetcherTest, ForbiddenStopsAskingTheSourceForAnything) {
  Serve(kTile, {.body = "blocked", .status = 403});
  Serve(kOtherTile, {.body = "fine"});
  Start();
  Fetch({kTile});
  Fetch({kTile, kOtherTile});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 1);
  EXPECT_EQ(server_.Count(PathOf(kOtherTile)), 0);
  EXPECT_EQ(fetcher_->Status(), "Map: HTTP 403 from 127.0.0.1");
  std::lock_guard lock(mutex_);
  EXPECT_EQ(statuses_, std::vector<std::string>{"Map: HTTP 403 from 127.0.0.1"});
}

TEST_F(FetcherTest, ServerErrorIsAskedAgainAndClearsWhenItPasses) {
  Serve(kTile, {.body = "oops", .status = 500});
  Start();
  Fetch({kTile});
  EXPECT_EQ(fetcher_->Status(), "Map: HTTP 500 from 127.0.0.1");
  EXPECT_TRUE(Delivered(kTile).empty());
  EXPECT_FALSE(cache_.Read("Test", kTile));

  Serve(kTile, {.body = "better"});
  Fetch({kTile});
  EXPECT_EQ(server_.Count(PathOf(kTile)), 2);
  EXPECT_EQ(Delivered(kTile), std::vector<std::string>{"better"});
  EXPECT_EQ(fetcher_->Status(), "");
  std::lock_guard lock(mutex_);
  EXPECT_EQ(statuses_, (std::vector<std::string>{"Map: HTTP 500 from 127.0.0.1", ""}));
}

TEST_F(FetcherTest, HangingServerTimesOut) {
  Serve(kTile, {.hang = true});
  Start({.connectTimeout = std::chrono::seconds(2), .totalTimeout = std::chrono::seconds(1)});
  Fetch({kTile});
  EXPECT_EQ(fetcher_->Status(), "Map: no answer from 127.0.0.1");
  EXPECT_TRUE(Delivered(kTile).empty());
}

TEST_F(FetcherTest, DestructionCancelsARequestInFlightAtOnce) {
  Serve(kTile, {.hang = true});
  Start({.totalTimeout = std::chrono::seconds(120)});
  fetcher_->Want({kTile});
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (server_.Count(PathOf(kTile)) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(server_.Count(PathOf(kTile)), 1);
  const auto start = std::chrono::steady_clock::now();
  fetcher_.reset();
  // Far below the request's own timeout, with room for a loaded machine.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST_F(FetcherTest, NoServerMeansOffline) {
  source_.urlTemplate = "http://127.0.0.1:" + std::to_string(testing::ClosedLoopbackPort()) + "/{z}/{x}/{y}.png";
  Start();
  Fetch({kTile});
  EXPECT_EQ(fetcher_->Status(), "Map: offline");
}

TEST_F(FetcherTest, AtMostTwoConnectionsAtOnce) {
  std::vector<TileId> tiles;
  for (int x = 0; x < 8; ++x) {
    tiles.push_back({3, x, 4});
    Serve(tiles.back(), {.body = "slow", .delaySeconds = 0.2});
  }
  Start({.connections = 6});
  Fetch(tiles);
  EXPECT_EQ(server_.Total(), 8);
  // Kept-alive connections stay open between requests, so two workers
  // show as two connections for the whole run.
  EXPECT_EQ(server_.MaxConnections(), 2);
  for (const TileId& tile : tiles) EXPECT_EQ(Delivered(tile).size(), 1u) << PathOf(tile);
}

TEST_F(FetcherTest, ANewViewReplacesTheTilesStillWaiting) {
  std::vector<TileId> first;
  for (int x = 0; x < 8; ++x) {
    first.push_back({3, x, 5});
    Serve(first.back(), {.body = "old view", .delaySeconds = 1.0});
  }
  Serve(kTile, {.body = "new view"});
  Start();
  fetcher_->Want(first);
  Fetch({kTile});
  EXPECT_EQ(Delivered(kTile), std::vector<std::string>{"new view"});
  // Only what the two workers had taken before the new view came.
  EXPECT_LE(server_.Total(), 3);
}

TEST_F(FetcherTest, AsksOnlyForTilesTheSourceHas) {
  source_.minZoom = 2;
  source_.maxZoom = 3;
  Start();
  Fetch({{1, 0, 0}, {4, 0, 0}, {3, 8, 0}, {3, 0, -1}});
  EXPECT_EQ(server_.Total(), 0);
}

TEST_F(FetcherTest, IdentifiesItselfAndSendsTheSourceHeaders) {
  source_.headers = {{"Referer", "https://quillon.example/"}, {"User-Agent", "curl/1.0"}};
  Serve(kTile, {.body = "tile"});
  Start();
  Fetch({kTile});
  const std::string agent = server_.UserAgents();
  EXPECT_EQ(agent, QuillonUserAgent());
#ifdef _WIN32
  EXPECT_TRUE(agent == "Quillon/1.0 (Windows x86)" || agent == "Quillon/1.0 (Windows x86_64)") << agent;
#else
  EXPECT_TRUE(agent.starts_with("Quillon/1.0 (Linux ")) << agent;
#endif
  EXPECT_EQ(server_.Header(PathOf(kTile), "Referer"), "https://quillon.example/");
}

}  // namespace
}  // namespace quillon
