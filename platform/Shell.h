#pragma once

#include <chrono>
#include <memory>
#include <string>

namespace quillon {

// Result codes of the shell's "open" verb. A value above kShellErrorLimit
// means the document or program was handed over.
inline constexpr int kShellOutOfResources = 0;
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellDdeFailed = 29;
inline constexpr int kShellDdeBusy = 30;
inline constexpr int kShellNoAssociation = 31;
inline constexpr int kShellErrorLimit = 32;
inline constexpr int kShellSuccess = 42;

// The shell's "open" verb: opens a document with the program associated with
// its type, or starts a program, with normal window display.
class Shell {
 public:
  virtual ~Shell() = default;
  virtual int OpenWithShell(const std::string& path) = 0;
};

#ifndef _WIN32
// The desktop's opener (xdg-open) with its exit status mapped to the shell's
// result codes. The opener is found through PATH. An opener that is still
// running after waitLimit has started a program that keeps it busy (some
// openers run the program in the foreground); that counts as success and the
// opener is reaped in the background.
class OpenerShell : public Shell {
 public:
  explicit OpenerShell(std::string opener = "xdg-open",
                       std::chrono::milliseconds waitLimit = std::chrono::seconds(3));
  int OpenWithShell(const std::string& path) override;

 private:
  std::string opener_;
  std::chrono::milliseconds waitLimit_;
};
#endif

std::unique_ptr<Shell> MakeSystemShell();

}  // namespace quillon
