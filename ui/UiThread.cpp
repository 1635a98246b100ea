#include "ui/UiThread.h"

#include <exception>
#include <future>

#include <wx/app.h>
#include <wx/thread.h>

namespace quillon::ui {

void RunOnUiThread(const std::function<void()>& task) {
  if (wxThread::IsMain() || wxTheApp == nullptr) {
    task();
    return;
  }
  std::promise<void> done;
  wxTheApp->CallAfter([&task, &done] {
    try {
      task();
      done.set_value();
    } catch (...) {
      done.set_exception(std::current_exception());
    }
  });
  done.get_future().get();
}

}  // namespace quillon::ui
