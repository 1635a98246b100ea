#pragma once

#include "app/CommandRouter.h"
#include "ui/MainWindow.h"

namespace quillon {

// Gives the router the windows its commands open over the Main Window: the
// Settings Dialog, the Track View, the file dialog of "Open Raw Log..." and,
// where photos can be tagged, the Geotag Photos dialog.
void AttachWindows(CommandRouter& router, ui::MainWindow& window);

}  // namespace quillon
