#pragma once

#include <wx/event.h>
#include <wx/window.h>

#include "app/CommandRouter.h"
#include "app/WindowRunners.h"
#include "platform/KeyStore.h"
#include "platform/Shell.h"
#include "ui/ColouredMessageBox.h"
#include "ui/MainWindow.h"

namespace quillon::uitest {

// The Main Window with its command router and the windows it opens, as the
// program puts them together.
struct RoutedApp {
  ui::OwnerlessMessageBoxes ownerless;
  CommandRouter router{ownerless, MakeSystemShell(), MakeUserKeyStore()};
  ui::MainWindow window{router.State(), router};
  RoutedApp() { AttachWindows(router, window); }
};

// A menu command sent to the window as its menu would send it.
inline void SendMenu(wxWindow& window, int id) {
  wxCommandEvent menu(wxEVT_MENU, id);
  window.HandleWindowEvent(menu);
}

}  // namespace quillon::uitest
