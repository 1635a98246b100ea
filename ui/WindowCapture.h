#pragma once

#include <string>

#include <wx/image.h>
#include <wx/window.h>

namespace quillon::ui {

// What the window shows on the screen now, after pending paints are done:
// its client area with its children, taken from the screen.
wxImage CaptureWindow(wxWindow* window);
bool SaveWindowPng(wxWindow* window, const std::string& path);

}  // namespace quillon::ui
