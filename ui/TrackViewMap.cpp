#include "ui/TrackViewMap.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <cmath>

#include "maps/MapFolders.h"

namespace quillon::ui {

namespace {

// Enough for a full-screen view and its ring at two zooms, with stand-ins.
constexpr std::size_t kTilesInMemory = 400;

std::optional<wxGraphicsBitmap> DecodeTile(const std::string& bytes) {
  // A tile that is no picture would otherwise be reported by the toolkit's
  // log in a message box of its own.
  wxLogNull quiet;
  wxMemoryInputStream stream(bytes.data(), bytes.size());
  const wxImage image(stream, wxBITMAP_TYPE_ANY);
  if (!image.IsOk()) return std::nullopt;
  wxGraphicsRenderer* renderer = wxGraphicsRenderer::GetDefaultRenderer();
  if (renderer == nullptr) return std::nullopt;
  wxGraphicsBitmap bitmap = renderer->CreateBitmapFromImage(image);
  if (bitmap.IsNull()) return std::nullopt;
  return bitmap;
}

void EnsureImageHandlers() {
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  // A wxWidgets built without libjpeg draws JPEG tiles as the plain field.
#if wxUSE_LIBJPEG
  if (wxImage::FindHandler(wxBITMAP_TYPE_JPEG) == nullptr) wxImage::AddHandler(new wxJPEGHandler);
#endif
}

}  // namespace

std::shared_ptr<TrackViewMap> TrackViewMap::Make(wxWindow* events, MapChoice choice, std::unique_ptr<MbTiles> file,
                                                 std::function<void()> onTiles,
                                                 std::function<void(const std::string&)> onStatus) {
  std::shared_ptr<TrackViewMap> map(
      new TrackViewMap(events, std::move(choice), std::move(file), std::move(onTiles), std::move(onStatus)));
  map->Start();
  return map;
}

TrackViewMap::TrackViewMap(wxWindow* events, MapChoice choice, std::unique_ptr<MbTiles> file,
                           std::function<void()> onTiles, std::function<void(const std::string&)> onStatus)
    : events_(events),
      choice_(std::move(choice)),
      file_(std::move(file)),
      onTiles_(std::move(onTiles)),
      onStatus_(std::move(onStatus)),
      memory_(kTilesInMemory, DecodeTile) {
  EnsureImageHandlers();
}

void TrackViewMap::Start() {
  if (file_ || !choice_.source.HasTiles()) return;
  cache_ = std::make_unique<TileCache>(TileCacheFolder());
  http_ = MakeHttpClient();
  // The callbacks run on the fetcher's threads; the window's event queue
  // brings their news to its own thread, where the map may be gone already.
  std::weak_ptr<TrackViewMap> self = weak_from_this();
  wxWindow* events = events_;
  fetcher_ = std::make_unique<TileFetcher>(
      choice_.source, *cache_, *http_,
      [self, events](const TileId& tile, const std::string& bytes) {
        events->CallAfter([self, tile, bytes] {
          if (auto map = self.lock()) map->Arrived(tile, bytes);
        });
      },
      [self, events](const std::string& text) {
        events->CallAfter([self, text] {
          if (auto map = self.lock(); map && map->onStatus_) map->onStatus_(text);
        });
      });
}

TrackViewMap::~TrackViewMap() {
  // Before anything the fetcher's threads use goes.
  fetcher_.reset();
}

void TrackViewMap::Arrived(const TileId& tile, std::string bytes) {
  memory_.Put(tile, std::move(bytes));
  settled_.insert(tile);
  if (onTiles_) onTiles_();
}

void TrackViewMap::Gather() {
  std::vector<TileId> fetch;
  for (const TileId& tile : plan_.wanted) {
    if (file_) {
      if (memory_.Has(tile) || absent_.contains(tile)) continue;
      MbTilesTile found = file_->Tile(tile.z, tile.x, tile.y);
      if (found.bytes) {
        memory_.Put(tile, std::move(*found.bytes));
      } else {
        absent_.insert(tile);
      }
      continue;
    }
    if (memory_.Has(tile)) {
      if (!settled_.contains(tile)) fetch.push_back(tile);
      continue;
    }
    if (std::optional<CachedTile> cached = cache_->Read(choice_.source.name, tile)) {
      memory_.Put(tile, std::move(cached->bytes));
      if (cached->fresh) {
        settled_.insert(tile);
        continue;
      }
    }
    fetch.push_back(tile);
  }
  if (fetcher_) fetcher_->Want(fetch);
}

void TrackViewMap::Draw(wxGraphicsContext& gc, const Viewport& view, const PixelRect& map) {
  const PixelPoint origin = view.ToPixel(0.0, 0.0);
  const MapView mapView{map.left, map.top, map.width, map.height, origin.x, origin.y, view.PixelsPerUnit()};
  const MapSource& source = choice_.source;
  plan_ = PlanMap(mapView, source.tileSize, source.minZoom, source.maxZoom);
  // Asked again only when the view shows other tiles: a repaint for a tile
  // that arrived must not replace the fetcher's queue with itself.
  if (plan_.wanted != lastWanted_) {
    lastWanted_ = plan_.wanted;
    Gather();
  }
  complete_ = plan_.zoom >= 0;
  const auto held = [this](const TileId& tile) { return memory_.Has(tile); };
  for (const TileSlot& slot : plan_.slots) {
    const std::vector<TilePiece> pieces = PiecesFor(slot, held, source.minZoom, source.maxZoom);
    if (pieces.size() != 1 || !(pieces[0].picture == slot.tile)) complete_ = false;
    for (const TilePiece& piece : pieces) {
      const wxGraphicsBitmap* picture = memory_.Get(piece.picture);
      if (picture == nullptr) continue;
      // Whole pixels at the tile's edges, so that neighbours meet without a seam.
      const double left = std::round(piece.left), top = std::round(piece.top);
      const double right = std::round(piece.left + piece.size), bottom = std::round(piece.top + piece.size);
      if (piece.sourceSize >= 1.0) {
        gc.DrawBitmap(*picture, left, top, right - left, bottom - top);
        continue;
      }
      // A part of a coarser tile: the whole tile scaled up, clipped to the slot.
      const double scale = (right - left) / piece.sourceSize;
      gc.PushState();
      gc.Clip(left, top, right - left, bottom - top);
      gc.DrawBitmap(*picture, left - piece.sourceLeft * scale, top - piece.sourceTop * scale, scale, scale);
      gc.PopState();
    }
  }
}

}  // namespace quillon::ui
