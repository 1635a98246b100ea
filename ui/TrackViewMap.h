#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <wx/graphics.h>
#include <wx/window.h>

#include "maps/MapChoice.h"
#include "maps/MapLayer.h"
#include "maps/MbTiles.h"
#include "maps/TileCache.h"
#include "maps/TileFetcher.h"
#include "maps/TileMemory.h"
#include "platform/HttpClient.h"
#include "trackview/Viewport.h"

namespace quillon::ui {

// The tiles of one map source under the Track View's track. Tiles come from
// memory, the disk cache or an MBTiles file while painting; the rest are
// fetched in the background and handed to the window's thread, which then
// calls `onTiles` (to repaint). Destroying it cancels the fetching and waits
// for its threads, so no callback comes afterwards.
class TrackViewMap : public std::enable_shared_from_this<TrackViewMap> {
 public:
  // `events` is the window whose event queue carries tiles and status text
  // over to its thread; it must outlive the map. `file` is the opened
  // MBTiles file of a file choice.
  static std::shared_ptr<TrackViewMap> Make(wxWindow* events, MapChoice choice, std::unique_ptr<MbTiles> file,
                                            std::function<void()> onTiles,
                                            std::function<void(const std::string&)> onStatus);
  ~TrackViewMap();
  TrackViewMap(const TrackViewMap&) = delete;
  TrackViewMap& operator=(const TrackViewMap&) = delete;

  // Paints the tiles of the view into `map` (already clipped to it) and asks
  // for those it lacks.
  void Draw(wxGraphicsContext& gc, const Viewport& view, const PixelRect& map);

  const std::string& Attribution() const { return choice_.source.attribution; }
  const MapChoice& Choice() const { return choice_; }
  // The zoom and tiles of the last view drawn.
  const MapPlan& LastPlan() const { return plan_; }
  // Whether every tile of the last view was drawn at its own zoom.
  bool Complete() const { return complete_; }

 private:
  TrackViewMap(wxWindow* events, MapChoice choice, std::unique_ptr<MbTiles> file, std::function<void()> onTiles,
               std::function<void(const std::string&)> onStatus);
  void Start();
  void Arrived(const TileId& tile, std::string bytes);
  // Tiles of the plan not held: from the file or the disk cache at once;
  // those still missing (or stale) go to the fetcher.
  void Gather();

  wxWindow* events_;
  MapChoice choice_;
  std::unique_ptr<MbTiles> file_;
  std::function<void()> onTiles_;
  std::function<void(const std::string&)> onStatus_;
  TileMemory<wxGraphicsBitmap> memory_;
  std::unique_ptr<TileCache> cache_;
  std::unique_ptr<HttpClient> http_;
  std::unique_ptr<TileFetcher> fetcher_;
  // Tiles held that need asking no more (fresh, or not in the file).
  std::set<TileId> settled_;
  std::set<TileId> absent_;
  MapPlan plan_;
  std::vector<TileId> lastWanted_;
  bool complete_ = false;
};

}  // namespace quillon::ui
