#pragma once
// A re-entrant critical section, usable with std::lock_guard / std::unique_lock.
#include <mutex>

class TCriticalSection {
 public:
  void Enter() { m_.lock(); }
  void Leave() { m_.unlock(); }
  bool TryEnter() { return m_.try_lock(); }
  void lock() { Enter(); }
  void unlock() { Leave(); }
  bool try_lock() { return TryEnter(); }

 private:
  std::recursive_mutex m_;
};

using TLock = std::lock_guard<TCriticalSection>;
