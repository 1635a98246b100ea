#pragma once

#include <functional>
#include <string>

#include "core/MessageBoxes.h"

namespace quillon {

// What the behaviour code may ask of a dialog window, keyed by control id.
// The wx dialogs implement it; tests use FakeWindowView. Message boxes shown
// through a view are owned by its window.
class WindowView : public MessageBoxes {
 public:
  virtual void SetItemText(int id, const std::string& text) = 0;
  virtual std::string GetItemText(int id) const = 0;
  virtual void SetChecked(int id, bool checked) = 0;
  virtual bool IsChecked(int id) const = 0;
  virtual void EnableItem(int id, bool enable) = 0;
  virtual bool IsItemEnabled(int id) const = 0;
  // Ends the window's modal run as a cancel would.
  virtual void EndDialogCancel() = 0;
  // Runs work that may take a while (a device call) without freezing the
  // window: the wx view runs it on a worker thread behind a modal progress
  // window, the fake runs it inline. Returns when work has finished.
  virtual void RunBusy(const std::string& what, const std::function<void()>& work) = 0;
  // RunBusy whose progress window also shows the line `report` returns,
  // asked now and then on the window's thread while the work runs. Views
  // without such a window just run the work.
  virtual void RunBusyReporting(const std::string& what, const std::function<void()>& work,
                                const std::function<std::string()>& report) {
    static_cast<void>(report);
    RunBusy(what, work);
  }
};

}  // namespace quillon
