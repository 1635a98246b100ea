#pragma once

#include <functional>
#include <optional>
#include <string>

#include <wx/window.h>

namespace quillon::ui {

// The file dialog of "Open Raw Log...", starting in Rawdata under the working
// directory. The chosen path, or nothing when it was cancelled.
std::optional<std::string> ChooseRawLogFile(wxWindow* parent);

// Lets tests answer the dialog without showing it; an empty hook lets it show.
void SetRawLogFileHook(std::function<std::optional<std::string>()> hook);

}  // namespace quillon::ui
