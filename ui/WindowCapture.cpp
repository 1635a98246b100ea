#include "ui/WindowCapture.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>

#ifdef __WXGTK3__
#include <dlfcn.h>
#endif

namespace quillon::ui {

namespace {

#ifdef __WXGTK3__
// Reads the screen through GDK, looked up by name as the toolkit's headers
// need not be installed. wx's own screen DC keeps showing its first picture
// of the screen on GTK 3, so it cannot take a series of captures.
bool CaptureScreenArea(const wxRect& area, wxImage& out) {
  using RootWindow = void* (*)();
  using FromWindow = void* (*)(void*, int, int, int, int);
  using IntOf = int (*)(const void*);
  using PixelsOf = unsigned char* (*)(const void*);
  using Unref = void (*)(void*);
  auto root = reinterpret_cast<RootWindow>(dlsym(RTLD_DEFAULT, "gdk_get_default_root_window"));
  auto fromWindow = reinterpret_cast<FromWindow>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_from_window"));
  auto width = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_width"));
  auto height = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_height"));
  auto rowstride = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_rowstride"));
  auto channels = reinterpret_cast<IntOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_n_channels"));
  auto pixels = reinterpret_cast<PixelsOf>(dlsym(RTLD_DEFAULT, "gdk_pixbuf_get_pixels"));
  auto unref = reinterpret_cast<Unref>(dlsym(RTLD_DEFAULT, "g_object_unref"));
  if (!root || !fromWindow || !width || !height || !rowstride || !channels || !pixels || !unref) return false;
  void* rootWindow = root();
  if (rootWindow == nullptr) return false;
  void* pixbuf = fromWindow(rootWindow, area.x, area.y, area.width, area.height);
  if (pixbuf == nullptr) return false;
  int w = width(pixbuf);
  int h = height(pixbuf);
  int stride = rowstride(pixbuf);
  int n = channels(pixbuf);
  const unsigned char* data = pixels(pixbuf);
  out.Create(w, h, false);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const unsigned char* p = data + y * stride + x * n;
      out.SetRGB(x, y, p[0], p[1], p[2]);
    }
  }
  unref(pixbuf);
  return true;
}
#else
bool CaptureScreenArea(const wxRect&, wxImage&) { return false; }
#endif

}  // namespace

wxImage CaptureWindow(wxWindow* window) {
  window->Update();
  // A plain yield: a safe one would disable the windows and show them so.
  if (wxTheApp != nullptr) wxTheApp->Yield(true);
  wxRect area(window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize());
  wxImage image;
  if (CaptureScreenArea(area, image)) return image;

  wxBitmap bitmap(area.width, area.height, 24);
  wxMemoryDC memory(bitmap);
  wxScreenDC screen;
  memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
  memory.SelectObject(wxNullBitmap);
  return bitmap.ConvertToImage();
}

bool SaveWindowPng(wxWindow* window, const std::string& path) {
  static bool handlersReady = false;
  if (!handlersReady) {
    wxInitAllImageHandlers();
    handlersReady = true;
  }
  return CaptureWindow(window).SaveFile(wxString::FromUTF8(path), wxBITMAP_TYPE_PNG);
}

}  // namespace quillon::ui
