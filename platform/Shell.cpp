#include "platform/Shell.h"

#ifdef _WIN32

#include <windows.h>
#include <shellapi.h>

#include <filesystem>

#include "platform/Utf8Path.h"

namespace quillon {

namespace {

class Win32Shell : public Shell {
 public:
  int OpenWithShell(const std::string& path) override {
    // Wide names reach documents whose names the ANSI code page cannot spell.
    const std::filesystem::path document = Utf8Path(path);
    HINSTANCE result = ShellExecuteW(nullptr, L"open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(result));
  }
};

}  // namespace

std::unique_ptr<Shell> MakeSystemShell() { return std::make_unique<Win32Shell>(); }

}  // namespace quillon

#else

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <thread>
#include <vector>

extern char** environ;

namespace quillon {

namespace {

// Exit statuses of xdg-open.
constexpr int kOpenerFileMissing = 2;
constexpr int kOpenerNoReadPermission = 5;
constexpr int kShellAccessDenied = 5;

int MapOpenerStatus(int waitStatus) {
  if (!WIFEXITED(waitStatus)) return kShellNoAssociation;
  switch (WEXITSTATUS(waitStatus)) {
    case 0:
      return kShellSuccess;
    case kOpenerFileMissing:
      return kShellFileNotFound;
    case kOpenerNoReadPermission:
      return kShellAccessDenied;
    default:
      // "No method available", "action failed" and the like: no program
      // could take the document.
      return kShellNoAssociation;
  }
}

int MapSpawnError(int error) {
  return (error == ENOMEM || error == EAGAIN) ? kShellOutOfResources : kShellNoAssociation;
}

// The opener resolves relative paths against its own working directory, which
// a desktop service it hands the document to does not share.
std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.string();
}

}  // namespace

OpenerShell::OpenerShell(std::string opener, std::chrono::milliseconds waitLimit)
    : opener_(std::move(opener)), waitLimit_(waitLimit) {}

int OpenerShell::OpenWithShell(const std::string& path) {
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return kShellFileNotFound;

  std::string target = AbsolutePath(path);
  std::vector<char*> argv = {opener_.data(), target.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int error = posix_spawnp(&pid, opener_.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) return MapSpawnError(error);

  const auto deadline = std::chrono::steady_clock::now() + waitLimit_;
  for (;;) {
    int status = 0;
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) return MapOpenerStatus(status);
    if (done < 0 && errno != EINTR) return kShellSuccess;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::thread([pid] {
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return kShellSuccess;
}

std::unique_ptr<Shell> MakeSystemShell() { return std::make_unique<OpenerShell>(); }

}  // namespace quillon

#endif
