#pragma once
// A lock for a few instructions of our own (a pointer copied), where a
// mutex's bookkeeping would cost more than the work it guards. Never held
// across a call into foreign code or anything that may block.
#include <atomic>
#include <thread>

class TSpinLock {
 public:
  void lock() noexcept {
    for (int tries = 0; locked_.exchange(true, std::memory_order_acquire); ++tries)
      while (locked_.load(std::memory_order_relaxed))
        if (++tries > 64) std::this_thread::yield();  // its holder was preempted
  }
  void unlock() noexcept { locked_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> locked_{false};
};
