#include <wx/msw/wrapwin.h>

#include <map>

#include "ui/WindowMenu.h"

namespace quillon::ui {

namespace {

// The items of each window that has them, by its handle.
std::map<WXHWND, std::vector<WindowMenuItem>>& Menus() {
  static std::map<WXHWND, std::vector<WindowMenuItem>> menus;
  return menus;
}

const WindowMenuItem* ItemOf(WXHWND window, int id) {
  auto found = Menus().find(window);
  if (found == Menus().end()) return nullptr;
  for (const WindowMenuItem& item : found->second) {
    if (item.id == id) return &item;
  }
  return nullptr;
}

// Windows keeps the low four bits of a system command for itself.
bool OnSystemCommand(wxWindowMSW* window, WXUINT, WXWPARAM wParam, WXLPARAM) {
  const int id = static_cast<int>(wParam & 0xFFF0);
  const WindowMenuItem* item = ItemOf(window->GetHWND(), id);
  if (item == nullptr || (item->enabled && !item->enabled())) return false;
  wxCommandEvent event(wxEVT_MENU, id);
  event.SetEventObject(window);
  window->HandleWindowEvent(event);
  return true;
}

// The items' enabled state, as the system menu opens.
bool OnInitMenuPopup(wxWindowMSW* window, WXUINT, WXWPARAM wParam, WXLPARAM lParam) {
  if (!HIWORD(lParam)) return false;  // not the system menu
  auto found = Menus().find(window->GetHWND());
  if (found == Menus().end()) return false;
  HMENU menu = reinterpret_cast<HMENU>(wParam);
  for (const WindowMenuItem& item : found->second) {
    const bool on = !item.enabled || item.enabled();
    ::EnableMenuItem(menu, static_cast<UINT>(item.id), MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  }
  return false;  // the window's own handling goes on
}

}  // namespace

void InstallWindowMenu(wxTopLevelWindow& window, std::vector<WindowMenuItem> items) {
  static const bool registered = wxWindow::MSWRegisterMessageHandler(WM_SYSCOMMAND, OnSystemCommand) &&
                                 wxWindow::MSWRegisterMessageHandler(WM_INITMENUPOPUP, OnInitMenuPopup);
  (void)registered;
  HMENU menu = ::GetSystemMenu(static_cast<HWND>(window.GetHWND()), FALSE);
  if (menu == nullptr) return;
  ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0 && items[i].separatorBefore) ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(items[i].id), items[i].text.wc_str());
  }
  const WXHWND handle = window.GetHWND();
  Menus()[handle] = std::move(items);
  window.Bind(wxEVT_DESTROY, [&window, handle](wxWindowDestroyEvent& event) {
    if (event.GetEventObject() == &window) Menus().erase(handle);
    event.Skip();
  });
}

}  // namespace quillon::ui
