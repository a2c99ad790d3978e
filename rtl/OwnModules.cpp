#include "rtl/OwnModules.h"

#include <atomic>
#include <mutex>

#include "rtl/FaultHandler.h"

namespace qorb::rtl {
namespace {

// A slot with End 0 is free.
struct TRange {
  std::atomic<uintptr_t> Start{0};
  std::atomic<uintptr_t> End{0};
};
constexpr size_t kMaxOwnModules = 64;
TRange ownModules[kMaxOwnModules];

}  // namespace

TMutex& OwnModulesLock() {
  static TMutex lock;
  return lock;
}

void AddOwnRange(uintptr_t Start, uintptr_t End) {
  if (!End) return;
  for (TRange& r : ownModules)
    if (r.End.load(std::memory_order_relaxed) == End && r.Start.load(std::memory_order_relaxed) == Start) return;
  for (TRange& r : ownModules) {
    if (r.End.load(std::memory_order_relaxed) != 0) continue;
    r.Start.store(Start, std::memory_order_relaxed);
    r.End.store(End, std::memory_order_release);
    return;
  }
}

bool IsOwnCode(uintptr_t Pc) noexcept {
  for (const TRange& r : ownModules) {
    const uintptr_t end = r.End.load(std::memory_order_acquire);
    if (end && Pc >= r.Start.load(std::memory_order_relaxed) && Pc < end) return true;
  }
  return false;
}

bool Containable(const TForeignFrame* Frame, const TFaultRecord& Fault) noexcept {
  return !Fault.Sent && Frame && Frame->Call && Frame->Containment && Frame->LocksAtEntry == OwnLocksHeld &&
         !IsOwnCode(Fault.Pc) && !IsOwnCode(reinterpret_cast<uintptr_t>(Frame->Call->Code));
}

}  // namespace qorb::rtl

void UnmarkOwnModule(const void* Address) {
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  const auto a = reinterpret_cast<uintptr_t>(Address);
  for (qorb::rtl::TRange& r : qorb::rtl::ownModules) {
    if (a < r.Start.load(std::memory_order_relaxed) || a >= r.End.load(std::memory_order_relaxed)) continue;
    r.End.store(0, std::memory_order_release);
    r.Start.store(0, std::memory_order_relaxed);
  }
}
