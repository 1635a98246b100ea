#include "app/WindowRunners.h"

#ifdef QUILLON_PHOTO_GEOTAG
#include "ui/GeotagDialog.h"
#endif
#include "ui/RawLogFileDialog.h"
#include "ui/SettingsDialog.h"
#include "ui/TrackViewWindow.h"

namespace quillon {

void AttachWindows(CommandRouter& router, ui::MainWindow& window) {
  router.SetSettingsDialogRunner([&router, &window] {
    if (router.Library() == nullptr) return;
    ui::SettingsDialog dialog(&window, router.State(), *router.Library(), router.Ownerless());
    dialog.ShowModal();
  });
  router.SetTrackViewRunner([&router, &window](const FixList& fixes, bool useLocalTime) {
    const std::string& stamp = router.State().logStamp;
    ui::TrackViewWindow view(&window, fixes, useLocalTime, (stamp.empty() ? "Track" : stamp) + "_TrackView.png",
                             router.State().geotaggedPhotos);
    view.ShowModal();
  });
  router.SetRawLogChooser([&window] { return ui::ChooseRawLogFile(&window); });
#ifdef QUILLON_PHOTO_GEOTAG
  router.SetGeotagRunner([&router, &window](std::vector<TrackPoint> track, bool rawLogLoaded) {
    ui::GeotagDialog dialog(&window, std::move(track), rawLogLoaded);
    dialog.ShowModal();
    if (dialog.Session().HasWritten()) router.State().geotaggedPhotos = dialog.Session().PlacedPhotos();
  });
#endif
}

}  // namespace quillon
