#pragma once

#include <filesystem>

namespace quillon {

// While an object of this class lives, the signals that end a program
// (SIGINT, SIGTERM, SIGHUP, and SIGXFSZ at the file size limit) first
// remove the file at `path` (a temporary file being written), then end the
// program as they would have. A signal the program ignores or handles itself
// is left so. Up to eight files at a time (threads writing one each): an
// object made while eight others live guards nothing, nor does one whose
// path is longer than the system allows. Windows
// has none of these signals: there it does nothing.
class RemoveOnSignal {
 public:
  explicit RemoveOnSignal(const std::filesystem::path& path);
  ~RemoveOnSignal();
  RemoveOnSignal(const RemoveOnSignal&) = delete;
  RemoveOnSignal& operator=(const RemoveOnSignal&) = delete;

 private:
  int slot_ = -1;
};

}  // namespace quillon
