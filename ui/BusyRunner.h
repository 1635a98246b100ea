#pragma once

#include <functional>
#include <string>

#include <wx/window.h>

namespace quillon::ui {

// Runs work on a worker thread. Unless it is done within a moment, a modal
// progress window over owner shows `what` and the elapsed time, offers no
// cancel and keeps the windows painting; it closes when the work has
// finished. Returns after the worker has ended; an exception of the work is
// thrown again here. A `report` adds a line to the window that its timer
// fills with report's answer.
void RunBusyWithProgress(wxWindow* owner, const std::string& what, const std::function<void()>& work,
                         const std::function<std::string()>& report = {});

}  // namespace quillon::ui
