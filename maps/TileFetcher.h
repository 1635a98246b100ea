#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "maps/MapSource.h"
#include "maps/TileCache.h"
#include "maps/TileMath.h"
#include "platform/HttpClient.h"

namespace quillon {

struct TileFetcherOptions {
  // Connections to the source's server at once; tile servers ask for no
  // more than two, and more are not made.
  int connections = 2;
  std::chrono::milliseconds connectTimeout{10000};
  std::chrono::milliseconds totalTimeout{30000};
};

// Gets the tiles of one source that the map currently shows, from the cache
// where it has them fresh and from the server otherwise, on worker threads.
// Only what was last asked for is fetched: each Want replaces the tiles still
// waiting. A stale cached tile is delivered at once and then asked for again
// with its validators (a 304 renews it). A 404 or 410 is remembered for the
// tile, and a 403 (the server refuses this client) for the whole source, for
// as long as the fetcher lives, and not asked again. Destroying the fetcher
// cancels what is in flight and waits for its threads.
class TileFetcher {
 public:
  // Called on a worker thread, once for each tile that can be drawn (twice
  // for a stale tile that the server sends anew).
  using TileCallback = std::function<void(const TileId& tile, const std::string& bytes)>;
  // Called on a worker thread when the status text changes (calls are not
  // concurrent): "" while all is well, otherwise one line such as
  // "Map: offline" or "Map: HTTP 403 from tile.openstreetmap.org".
  using StatusCallback = std::function<void(const std::string& text)>;

  TileFetcher(MapSource source, TileCache& cache, HttpClient& http, TileCallback onTile,
              StatusCallback onStatus = {}, TileFetcherOptions options = {});
  ~TileFetcher();
  TileFetcher(const TileFetcher&) = delete;
  TileFetcher& operator=(const TileFetcher&) = delete;

  // The tiles to show, most wanted first (TilesCovering's order); tiles
  // outside the source's zoom range are left out.
  void Want(const std::vector<TileId>& tiles);

  std::string Status() const;
  // Tiles waiting or being fetched; 0 once all that was wanted is done.
  std::size_t Pending() const;

 private:
  void Work();
  void Fetch(const TileId& tile);
  void Answered(const TileId& tile, const std::optional<CachedTile>& cached, const HttpResponse& response);
  void SetStatus(const std::string& text);

  const MapSource source_;
  const std::string host_;
  TileCache& cache_;
  HttpClient& http_;
  const TileCallback onTile_;
  const StatusCallback onStatus_;
  const TileFetcherOptions options_;

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<TileId> queue_;
  std::set<TileId> inFlight_;
  std::set<TileId> gone_;
  bool refused_ = false;
  bool stopping_ = false;
  std::atomic<bool> abort_{false};

  mutable std::mutex statusMutex_;
  std::string status_;
  std::mutex callbackMutex_;

  std::vector<std::thread> workers_;
};

}  // namespace quillon
