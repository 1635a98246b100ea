#include "ui/GtkCompactStyle.h"

#include <wx/defs.h>

#ifdef __WXGTK3__
#include <dlfcn.h>

#include <cstring>

namespace quillon::ui {

namespace {

// Tightened padding and minimum heights; everything else stays the theme's,
// but for the unchecked indicators below.
constexpr char kCompactCss[] =
    "entry { min-height: 0; padding: 0 3px; }\n"
    "combobox entry { min-height: 0; padding-top: 0; padding-bottom: 0; }\n"
    "combobox button, combobox box button { min-height: 0; padding: 0 3px; }\n"
    "checkbutton, radiobutton { min-height: 0; padding: 0; }\n"
    "check, radio { min-height: 12px; min-width: 12px; margin: 0 3px 0 0; padding: 0; }\n"
    // The theme's pale unchecked indicators fade into the dialog colour and
    // look disabled; give the enabled ones a white face and the text colour's edge.
    "check:not(:checked):not(:disabled), radio:not(:checked):not(:disabled) {"
    " background-image: none; background-color: white; border: 1px solid rgb(13, 125, 188); }\n";

// Priority of an application's own style (GTK_STYLE_PROVIDER_PRIORITY_APPLICATION).
constexpr unsigned kApplicationPriority = 600;

template <typename Function>
Function Lookup(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

void UseCompactControlStyle() {
  // The toolkit is loaded already (wx runs on it); its development headers
  // need not be, so the four calls are looked up by name.
  using NewProvider = void* (*)();
  using LoadData = int (*)(void*, const char*, long, void**);
  using DefaultScreen = void* (*)();
  using AddProvider = void (*)(void*, void*, unsigned);
  auto newProvider = Lookup<NewProvider>("gtk_css_provider_new");
  auto loadData = Lookup<LoadData>("gtk_css_provider_load_from_data");
  auto defaultScreen = Lookup<DefaultScreen>("gdk_screen_get_default");
  auto addProvider = Lookup<AddProvider>("gtk_style_context_add_provider_for_screen");
  if (!newProvider || !loadData || !defaultScreen || !addProvider) return;
  void* screen = defaultScreen();
  if (screen == nullptr) return;
  void* provider = newProvider();
  if (!loadData(provider, kCompactCss, static_cast<long>(std::strlen(kCompactCss)), nullptr)) return;
  addProvider(screen, provider, kApplicationPriority);
}

}  // namespace quillon::ui

#else

namespace quillon::ui {

void UseCompactControlStyle() {}

}  // namespace quillon::ui

#endif
