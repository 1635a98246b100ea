#pragma once

#include <string>

#include "core/WindowView.h"

namespace quillon::ui {

// What the Main Window hands on: the device library binding of its opening,
// and every command of its event table. The window itself only closes.
class MainWindowCommands {
 public:
  virtual ~MainWindowCommands() = default;
  // Binds the device library; false when it cannot (its message was shown).
  virtual bool BindDeviceLibrary() = 0;
  // Runs the command's handler; a command without one does nothing.
  virtual void RunCommand(int commandId, WindowView& view) = 0;
  // Whether the command has a handler, so that its menu item can be offered.
  virtual bool HasCommand(int commandId) const = 0;
  // Loads the raw log at `path` as "Open Raw Log..." does once a file is
  // chosen; a file dropped on the window comes here.
  virtual void OpenRawLogFile(const std::string& path, WindowView& view) = 0;
};

}  // namespace quillon::ui
