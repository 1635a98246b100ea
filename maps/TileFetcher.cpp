#include "maps/TileFetcher.h"

#include <algorithm>

#include "maps/TileFreshness.h"

namespace quillon {

TileFetcher::TileFetcher(MapSource source, TileCache& cache, HttpClient& http, TileCallback onTile,
                         StatusCallback onStatus, TileFetcherOptions options)
    : source_(std::move(source)),
      host_(UrlHost(source_.urlTemplate)),
      cache_(cache),
      http_(http),
      onTile_(std::move(onTile)),
      onStatus_(std::move(onStatus)),
      options_(options) {
  if (!source_.HasTiles()) return;
  const int connections = std::clamp(options_.connections, 1, 2);
  for (int i = 0; i < connections; ++i) workers_.emplace_back([this] { Work(); });
}

TileFetcher::~TileFetcher() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  abort_ = true;
  wake_.notify_all();
  for (std::thread& worker : workers_) worker.join();
}

void TileFetcher::Want(const std::vector<TileId>& tiles) {
  if (!source_.HasTiles()) return;
  {
    std::lock_guard lock(mutex_);
    queue_.clear();
    std::set<TileId> queued;
    for (const TileId& tile : tiles) {
      if (tile.z < source_.minZoom || tile.z > source_.maxZoom || tile.z > kMaxTileZoom) continue;
      const std::int64_t n = std::int64_t{1} << tile.z;
      if (tile.x < 0 || tile.x >= n || tile.y < 0 || tile.y >= n) continue;
      if (inFlight_.contains(tile) || gone_.contains(tile) || !queued.insert(tile).second) continue;
      queue_.push_back(tile);
    }
  }
  wake_.notify_all();
}

std::string TileFetcher::Status() const {
  std::lock_guard lock(statusMutex_);
  return status_;
}

std::size_t TileFetcher::Pending() const {
  std::lock_guard lock(mutex_);
  return queue_.size() + inFlight_.size();
}

void TileFetcher::SetStatus(const std::string& text) {
  // Held across the callback, so that callbacks come in the order of the
  // changes and the last one always tells the current text.
  std::lock_guard callbackLock(callbackMutex_);
  {
    std::lock_guard lock(statusMutex_);
    if (status_ == text) return;
    status_ = text;
  }
  if (onStatus_) onStatus_(text);
}

void TileFetcher::Work() {
  for (;;) {
    TileId tile;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      tile = queue_.front();
      queue_.pop_front();
      inFlight_.insert(tile);
    }
    Fetch(tile);
    std::lock_guard lock(mutex_);
    inFlight_.erase(tile);
  }
}

void TileFetcher::Fetch(const TileId& tile) {
  const std::optional<CachedTile> cached = cache_.Read(source_.name, tile);
  if (cached && onTile_) onTile_(tile, cached->bytes);
  if (cached && cached->fresh) return;
  {
    std::lock_guard lock(mutex_);
    if (refused_ || stopping_) return;
  }
  HttpRequest request;
  request.url = FormatTileUrl(source_.urlTemplate, tile.z, tile.x, tile.y);
  request.headers = source_.headers;
  if (cached && !cached->record.etag.empty()) request.headers.emplace_back("If-None-Match", cached->record.etag);
  if (cached && !cached->record.lastModified.empty()) {
    request.headers.emplace_back("If-Modified-Since", cached->record.lastModified);
  }
  request.connectTimeout = options_.connectTimeout;
  request.totalTimeout = options_.totalTimeout;
  request.abort = &abort_;
  const HttpResponse response = http_.Get(request);
  switch (response.outcome) {
    case HttpOutcome::kAnswered:
      return Answered(tile, cached, response);
    case HttpOutcome::kCancelled:
      return;
    case HttpOutcome::kUnreachable:
      return SetStatus("Map: offline");
    case HttpOutcome::kTimedOut:
      return SetStatus("Map: no answer from " + host_);
    case HttpOutcome::kFailed:
      return SetStatus("Map: " + response.error + " (" + host_ + ")");
  }
}

void TileFetcher::Answered(const TileId& tile, const std::optional<CachedTile>& cached,
                           const HttpResponse& response) {
  const std::int64_t now = cache_.Now();
  TileRecord record;
  record.fetchedAt = now;
  record.freshUntil = FreshUntil({response.cacheControl, response.expires, response.date, response.age}, now);
  record.etag = response.etag;
  record.lastModified = response.lastModified;
  if (response.status == 200) {
    if (response.body.empty()) return SetStatus("Map: empty tile from " + host_);
    cache_.Store(source_.name, tile, response.body, record);
    if (onTile_) onTile_(tile, response.body);
    return SetStatus("");
  }
  if (response.status == 304 && cached) {
    // A 304 need not repeat the validators; the stored ones still hold.
    if (record.etag.empty()) record.etag = cached->record.etag;
    if (record.lastModified.empty()) record.lastModified = cached->record.lastModified;
    cache_.Renew(source_.name, tile, record);
    return SetStatus("");
  }
  {
    std::lock_guard lock(mutex_);
    if (response.status == 403) {
      refused_ = true;
      queue_.clear();
    } else if (response.status == 404 || response.status == 410) {
      gone_.insert(tile);
    }
  }
  SetStatus("Map: HTTP " + std::to_string(response.status) + " from " + host_);
}

}  // namespace quillon
