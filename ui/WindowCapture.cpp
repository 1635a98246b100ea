#include "ui/WindowCapture.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>

namespace quillon::ui {

wxImage CaptureWindow(wxWindow* window) {
  window->Update();
  if (wxTheApp != nullptr) wxTheApp->SafeYieldFor(nullptr, wxEVT_CATEGORY_UI);
  wxSize size = window->GetClientSize();
  wxPoint origin = window->ClientToScreen(wxPoint(0, 0));
  wxBitmap bitmap(size.x, size.y, 24);
  wxMemoryDC memory(bitmap);
  wxScreenDC screen;
  memory.Blit(0, 0, size.x, size.y, &screen, origin.x, origin.y);
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
