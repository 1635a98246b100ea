#pragma once

#include "app/CommandRouter.h"
#include "ui/MainWindow.h"

namespace quillon {

// Gives the router the windows its commands open over the Main Window: the
// Settings Dialog, the Track View and the file dialog of "Open Raw Log...".
void AttachWindows(CommandRouter& router, ui::MainWindow& window);

}  // namespace quillon
