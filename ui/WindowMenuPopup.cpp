#include <wx/menu.h>

#include "ui/WindowMenu.h"

namespace quillon::ui {

void InstallWindowMenu(wxTopLevelWindow& window, std::vector<WindowMenuItem> items) {
  window.Bind(wxEVT_CONTEXT_MENU, [&window, items = std::move(items)](wxContextMenuEvent&) {
    wxMenu menu;
    for (const WindowMenuItem& item : items) {
      if (item.separatorBefore && menu.GetMenuItemCount() > 0) menu.AppendSeparator();
      menu.Append(item.id, item.text);
      menu.Enable(item.id, !item.enabled || item.enabled());
    }
    window.PopupMenu(&menu);
  });
}

}  // namespace quillon::ui
