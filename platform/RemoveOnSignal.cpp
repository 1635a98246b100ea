#include "platform/RemoveOnSignal.h"

#ifndef _WIN32
#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

#include <signal.h>
#include <time.h>
#include <unistd.h>
#endif

namespace quillon {

#ifdef _WIN32

RemoveOnSignal::RemoveOnSignal(const std::filesystem::path&) { (void)slot_; }
RemoveOnSignal::~RemoveOnSignal() = default;
int RemoveOnSignal::Create(const std::function<int()>& make) const { return make(); }

#else

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGXFSZ};
constexpr int kSignalCount = sizeof kSignals / sizeof kSignals[0];

constexpr int kSlots = 8;

// What the handler reads: plain buffers and lock-free flags, since it may
// run at any moment and may call nothing that allocates or locks.
char guardedPaths[kSlots][PATH_MAX];
std::atomic<bool> slotReady[kSlots];
std::atomic<bool> slotTaken[kSlots];
// The handlers are in place while any slot is taken.
std::mutex handlersMutex;
int guards = 0;
struct sigaction previousActions[kSignalCount];
bool replaced[kSignalCount];
// Set once a signal begins to end the program; no guarded file is created
// after that.
std::atomic<bool> ending{false};
// How many threads are creating a guarded file right now.
std::atomic<int> creating{0};

extern "C" void RemoveAndEnd(int signal) {
  ending = true;
  // A file that another thread is creating exists once its creation is
  // counted off, and is then removed with the others. The wait is bounded:
  // the creation interrupted may be this thread's own, which never goes on.
  for (int waited = 0; waited < 500 && creating.load() > 0; ++waited) {
    const timespec millisecond{0, 1000000};
    nanosleep(&millisecond, nullptr);
  }
  for (int i = 0; i < kSlots; ++i) {
    if (slotReady[i].load()) unlink(guardedPaths[i]);
  }
  // The action went back to the default as the handler started
  // (SA_RESETHAND); the signal, raised again, ends the program once the
  // handler returns.
  raise(signal);
}

void InstallHandlers() {
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

void RestoreHandlers() {
  for (int i = 0; i < kSignalCount; ++i) {
    if (replaced[i]) sigaction(kSignals[i], &previousActions[i], nullptr);
  }
}

}  // namespace

RemoveOnSignal::RemoveOnSignal(const std::filesystem::path& path) {
  const std::string& text = path.native();
  if (text.size() >= PATH_MAX) return;
  int slot = 0;
  while (slot < kSlots && slotTaken[slot].exchange(true)) ++slot;
  if (slot == kSlots) return;
  slot_ = slot;
  std::memcpy(guardedPaths[slot], text.c_str(), text.size() + 1);
  {
    const std::lock_guard<std::mutex> lock(handlersMutex);
    if (guards++ == 0) InstallHandlers();
  }
  slotReady[slot] = true;
}

int RemoveOnSignal::Create(const std::function<int()>& make) const {
  ++creating;
  if (ending) {
    --creating;
    return -1;
  }
  const int fd = make();
  --creating;
  return fd;
}

RemoveOnSignal::~RemoveOnSignal() {
  if (slot_ < 0) return;
  slotReady[slot_] = false;
  {
    const std::lock_guard<std::mutex> lock(handlersMutex);
    if (--guards == 0) RestoreHandlers();
  }
  slotTaken[slot_] = false;
}

#endif

}  // namespace quillon
