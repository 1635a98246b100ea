#include "export/BlocksInTurn.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace quillon {

namespace {

// The worker's two slots and what the two threads tell each other.
struct Handoff {
  std::mutex mutex;
  std::condition_variable changed;
  bool full[2] = {false, false};
  bool stop = false;  // this thread gave up
  std::exception_ptr error;
};

int WorkerSlot(std::size_t block) { return 1 + static_cast<int>(block / 2 % 2); }

void MakeOnOneThread(std::size_t blocks, const std::function<void(std::size_t, int)>& make,
                     const std::function<void(std::size_t, int)>& hand) {
  for (std::size_t block = 0; block < blocks; ++block) {
    make(block, 0);
    hand(block, 0);
  }
}

}  // namespace

void MakeBlocksInTurn(std::size_t blocks, const std::function<void(std::size_t, int)>& make,
                      const std::function<void(std::size_t, int)>& hand) {
  if (blocks < 2) return MakeOnOneThread(blocks, make, hand);
  Handoff handoff;
  std::thread worker;
  try {
    worker = std::thread([&]() noexcept {
      try {
        for (std::size_t block = 1; block < blocks; block += 2) {
          const int slot = WorkerSlot(block);
          {
            std::unique_lock<std::mutex> lock(handoff.mutex);
            handoff.changed.wait(lock, [&] { return !handoff.full[slot - 1] || handoff.stop; });
            if (handoff.stop) return;
          }
          make(block, slot);
          std::lock_guard<std::mutex> lock(handoff.mutex);
          handoff.full[slot - 1] = true;
          handoff.changed.notify_all();
        }
      } catch (...) {
        std::lock_guard<std::mutex> lock(handoff.mutex);
        handoff.error = std::current_exception();
        handoff.changed.notify_all();
      }
    });
  } catch (const std::system_error&) {
    return MakeOnOneThread(blocks, make, hand);
  }
  std::exception_ptr error;
  try {
    for (std::size_t block = 0; block < blocks; ++block) {
      if (block % 2 == 0) {
        make(block, 0);
        hand(block, 0);
        continue;
      }
      const int slot = WorkerSlot(block);
      std::unique_lock<std::mutex> lock(handoff.mutex);
      handoff.changed.wait(lock, [&] { return handoff.full[slot - 1] || handoff.error; });
      if (!handoff.full[slot - 1]) std::rethrow_exception(handoff.error);
      lock.unlock();
      hand(block, slot);
      lock.lock();
      handoff.full[slot - 1] = false;
      handoff.changed.notify_all();
    }
  } catch (...) {
    error = std::current_exception();
  }
  {
    std::lock_guard<std::mutex> lock(handoff.mutex);
    handoff.stop = true;
    handoff.changed.notify_all();
  }
  worker.join();
  if (error) std::rethrow_exception(error);
}

}  // namespace quillon
