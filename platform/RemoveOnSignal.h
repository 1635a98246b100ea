#pragma once

#include <filesystem>
#include <functional>

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

  // Runs `make`, which creates the guarded file and returns its descriptor
  // (negative when it failed). A signal that arrives on another thread
  // meanwhile waits for it, so the file it makes is removed too; once a
  // signal has begun to end the program, `make` is not run and -1 returned.
  int Create(const std::function<int()>& make) const;

 private:
  int slot_ = -1;
};

}  // namespace quillon
