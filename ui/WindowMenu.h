#pragma once

#include <wx/string.h>
#include <wx/toplevel.h>

#include <functional>
#include <vector>

namespace quillon::ui {

// One command of a window's own menu. Choosing it sends the window a
// wxEVT_MENU event with `id`, as any menu item does.
struct WindowMenuItem {
  int id = 0;
  wxString text;
  // Asked each time the menu opens; no function means always enabled.
  std::function<bool()> enabled;
  bool separatorBefore = false;
};

// Adds the items to the window's own menu: on Windows the system menu, after
// a separator (ids there must be multiples of 16 below 0xF000); elsewhere a
// right-click menu of the window, as the window manager's menu is out of the
// program's reach.
void InstallWindowMenu(wxTopLevelWindow& window, std::vector<WindowMenuItem> items);

}  // namespace quillon::ui
