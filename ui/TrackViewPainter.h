#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <wx/graphics.h>

#include "trackview/PhotoMarkers.h"
#include "trackview/SpeedAltitudeProfile.h"
#include "trackview/SpeedScale.h"
#include "trackview/TrackModel.h"
#include "trackview/TrackViewLayout.h"
#include "trackview/Viewport.h"

namespace quillon::ui {

// Everything one picture of the Track View is drawn from.
struct TrackViewScene {
  const TrackModel* model = nullptr;
  const SpeedScale* scale = nullptr;
  const TimeAxis* axis = nullptr;
  const Viewport* viewport = nullptr;
  TrackViewLayout layout;
  std::optional<std::uint32_t> hovered;  // index into the model's fixes
  const std::vector<PhotoMarker>* photos = nullptr;
  std::optional<std::size_t> hoveredPhoto;  // index into photos
  bool useLocalTime = false;
  // Paints a map under the track, inside the map's rectangle (clipped to it);
  // empty for the plain field.
  std::function<void(wxGraphicsContext&, const Viewport&, const PixelRect&)> underlay;
  // Whose map it is, shown at the map's bottom right.
  std::string attribution;
};

// Paints the whole picture (map, photos, legend, scale bar, profiles, hover marks)
// on a canvas of width x height pixels, only through the graphics context,
// so that the screen and a saved picture are drawn alike on every platform.
void PaintTrackView(wxGraphicsContext& gc, const TrackViewScene& scene, double width, double height);

}  // namespace quillon::ui
