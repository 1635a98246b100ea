#pragma once

#include <functional>

namespace quillon::ui {

// Runs task on the user-interface thread and returns when it has run. Called
// on that thread it runs at once; called from a worker (work handed to
// RunBusy that reaches a window) it is queued to the user-interface thread,
// whose modal progress loop runs it, and the worker waits.
void RunOnUiThread(const std::function<void()>& task);

}  // namespace quillon::ui
