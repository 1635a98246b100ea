#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

namespace quillon::ui {

// The program's icon, drawn here rather than loaded: a pocket logger with its
// antenna under a GPS satellite sending to it. Any size; drawn for 16 to 48.
wxBitmap DrawLoggerIcon(int size);
// The icon in the small and big sizes the window manager asks for.
wxIconBundle LoggerIcons();

}  // namespace quillon::ui
