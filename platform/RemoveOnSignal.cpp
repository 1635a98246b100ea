#include "platform/RemoveOnSignal.h"

#ifndef _WIN32
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>

#include <signal.h>
#include <unistd.h>
#endif

namespace quillon {

#ifdef _WIN32

RemoveOnSignal::RemoveOnSignal(const std::filesystem::path&) {}
RemoveOnSignal::~RemoveOnSignal() = default;

#else

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

// What the handler reads: a plain buffer, since it may run at any moment
// and may call nothing that allocates or locks.
char guardedPath[PATH_MAX];
std::atomic<bool> guardTaken{false};
struct sigaction previousActions[kSignalCount];
bool replaced[kSignalCount];

extern "C" void RemoveAndEnd(int signal) {
  unlink(guardedPath);
  // The action went back to the default as the handler started
  // (SA_RESETHAND); the signal, raised again, ends the program once the
  // handler returns.
  raise(signal);
}

}  // namespace

RemoveOnSignal::RemoveOnSignal(const std::filesystem::path& path) {
  const std::string& text = path.native();
  if (text.size() >= sizeof guardedPath || guardTaken.exchange(true)) return;
  guarding_ = true;
  std::memcpy(guardedPath, text.c_str(), text.size() + 1);
  struct sigaction action {};
  action.sa_handler = RemoveAndEnd;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kSignalCount; ++i) {
    replaced[i] = sigaction(kSignals[i], nullptr, &previousActions[i]) == 0 &&
                  !(previousActions[i].sa_flags & SA_SIGINFO) && previousActions[i].sa_handler == SIG_DFL &&
                  sigaction(kSignals[i], &action, nullptr) == 0;
  }
}

RemoveOnSignal::~RemoveOnSignal() {
  if (!guarding_) return;
  for (int i = 0; i < kSignalCount; ++i) {
    if (replaced[i]) sigaction(kSignals[i], &previousActions[i], nullptr);
  }
  guardTaken = false;
}

#endif

}  // namespace quillon
