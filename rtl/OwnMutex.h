#pragma once
// Locks of our own code (not for plug-ins): each counts itself on the
// thread that holds it. A fault on a thread that holds more of them than
// when it entered its innermost call into foreign code happened while our
// code held a lock (foreign code called ours, which took it): that fault is
// ours, and the fault handler never jumps over the frame that holds it.
#include <cstdint>
#include <mutex>

#include "rtl/ThreadLocal.h"

namespace qorb::rtl {
extern constinit thread_local uint32_t OwnLocksHeld QORB_HANDLER_TLS;
}  // namespace qorb::rtl

template <class TLockable>
class TOwnLockable {
 public:
  void lock() {
    lock_.lock();
    ++qorb::rtl::OwnLocksHeld;
  }
  bool try_lock() {
    if (!lock_.try_lock()) return false;
    ++qorb::rtl::OwnLocksHeld;
    return true;
  }
  void unlock() {
    --qorb::rtl::OwnLocksHeld;
    lock_.unlock();
  }

 private:
  TLockable lock_;
};

using TMutex = TOwnLockable<std::mutex>;
using TRecursiveMutex = TOwnLockable<std::recursive_mutex>;
