#include "rtl/OwnModules.h"

#include <atomic>
#include <mutex>

#include "rtl/FaultHandler.h"
#include "rtl/ForeignRead.h"

namespace qorb::rtl {
namespace {

// A slot with End 0 is free.
struct TRange {
  std::atomic<uintptr_t> Start{0};
  std::atomic<uintptr_t> End{0};
  TSystemKind Kind = TSystemKind::None;
};
constexpr size_t kMaxOwnModules = 64;
TRange ownModules[kMaxOwnModules];
constexpr size_t kMaxSystemModules = 128;
TRange systemModules[kMaxSystemModules];
// Its own lock: the loader tells of libraries it loads while it holds its
// lock, and the writers of our own ranges may wait for that one.
std::mutex systemModulesLock;

template <size_t N>
TRange* AddRange(TRange (&ranges)[N], uintptr_t Start, uintptr_t End) {
  if (!End) return nullptr;
  for (TRange& r : ranges)
    if (r.End.load(std::memory_order_relaxed) == End && r.Start.load(std::memory_order_relaxed) == Start) return nullptr;
  for (TRange& r : ranges) {
    if (r.End.load(std::memory_order_relaxed) != 0) continue;
    r.Start.store(Start, std::memory_order_relaxed);
    return &r;
  }
  return nullptr;
}

// Frees each slot whose range Gone says went; End first, as readers test
// it first.
template <size_t N, class F>
void ClearRanges(TRange (&ranges)[N], F Gone) {
  for (TRange& r : ranges) {
    if (!Gone(r.Start.load(std::memory_order_relaxed), r.End.load(std::memory_order_relaxed))) continue;
    r.End.store(0, std::memory_order_release);
    r.Start.store(0, std::memory_order_relaxed);
  }
}

template <size_t N>
const TRange* RangeHolding(const TRange (&ranges)[N], uintptr_t Pc) noexcept {
  for (const TRange& r : ranges) {
    const uintptr_t end = r.End.load(std::memory_order_acquire);
    if (end && Pc >= r.Start.load(std::memory_order_relaxed) && Pc < end) return &r;
  }
  return nullptr;
}

}  // namespace

TMutex& OwnModulesLock() {
  static TMutex lock;
  return lock;
}

void AddOwnRange(uintptr_t Start, uintptr_t End) {
  if (TRange* r = AddRange(ownModules, Start, End)) r->End.store(End, std::memory_order_release);
}

bool IsOwnCode(uintptr_t Pc) noexcept { return RangeHolding(ownModules, Pc) != nullptr; }

void AddSystemRange(uintptr_t Start, uintptr_t End, TSystemKind Kind) {
  const std::lock_guard lock(systemModulesLock);
  if (TRange* r = AddRange(systemModules, Start, End)) {
    r->Kind = Kind;
    r->End.store(End, std::memory_order_release);
  }
}

void RemoveSystemRange(uintptr_t Start) {
  const std::lock_guard lock(systemModulesLock);
  ClearRanges(systemModules, [&](uintptr_t start, uintptr_t) { return start == Start; });
}

TSystemKind SystemCodeKind(uintptr_t Pc) noexcept {
  const TRange* r = RangeHolding(systemModules, Pc);
  return r ? r->Kind : TSystemKind::None;
}

bool Containable(const TForeignFrame* Frame, const TFaultRecord& Fault, uint32_t LocksHeld) noexcept {
  return !Fault.Sent && !Fault.Breakpoint && Frame && Frame->Call && Frame->Containment &&
         Frame->LocksAtEntry == LocksHeld && (!IsOwnCode(Fault.Pc) || IsForeignRead(Fault.Pc)) &&
         !IsOwnCode(reinterpret_cast<uintptr_t>(Frame->Call->Code));
}

}  // namespace qorb::rtl

void UnmarkOwnModule(const void* Address) {
  const std::lock_guard lock(qorb::rtl::OwnModulesLock());
  const auto a = reinterpret_cast<uintptr_t>(Address);
  qorb::rtl::ClearRanges(qorb::rtl::ownModules, [&](uintptr_t start, uintptr_t end) { return a >= start && a < end; });
}
