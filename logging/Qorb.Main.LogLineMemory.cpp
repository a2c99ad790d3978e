#include "logging/Qorb.Main.LogLineMemory.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <vector>

namespace qorb::logging {
namespace {

constexpr size_t kSlabBytes = 64 * 1024;
// Longer lines are rare; they go to the general allocator.
constexpr size_t kMaxCarve = 4096;
constexpr size_t kAlign = alignof(std::max_align_t);
constexpr size_t kKeptSlabs = 32;

// A slab's state in one word, so that taking room and holding the slab are
// one step: bytes handed out (low 40 bits) and holds (high 24 bits). The
// slab in use holds itself once; each line carved from it holds it once.
constexpr uint64_t kHold = uint64_t{1} << 40;
constexpr uint64_t kUsedMask = kHold - 1;
// Waiting to be used again: more than full, held once by the keeper.
constexpr uint64_t kKept = (uint64_t{1} << 39) | kHold;

struct Slab {
  std::atomic<uint64_t> state{0};
  alignas(kAlign) unsigned char room[kSlabBytes];
};

struct alignas(kAlign) LineHeader {
  Slab* slab;  // null: from the general allocator
};

void Recycle(Slab* slab) noexcept;

// Set when the keeper is gone (the module is being unloaded): lines freed
// after that give their slabs back to the general allocator.
constinit std::atomic<bool> keeperGone{false};

// Drops holds; whoever drops the last takes the slab out of circulation.
// Only one can: the slab changes from no holds to kept in one exchange.
void Release(Slab* slab, uint64_t amount) noexcept {
  uint64_t now = slab->state.fetch_sub(amount, std::memory_order_acq_rel) - amount;
  while (now < kHold) {
    if (slab->state.compare_exchange_weak(now, kKept, std::memory_order_acq_rel, std::memory_order_relaxed)) {
      Recycle(slab);
      return;
    }
  }
}

class SlabKeeper {
 public:
  ~SlabKeeper() {
    keeperGone.store(true, std::memory_order_release);
    if (Slab* s = current_.exchange(nullptr, std::memory_order_acq_rel)) Retire(s);
    const std::lock_guard lock(lock_);
    kept_.clear();
  }

  void* Carve(size_t need) {
    for (;;) {
      Slab* s = current_.load(std::memory_order_acquire);
      if (s) {
        const uint64_t before = s->state.fetch_add(need + kHold, std::memory_order_acq_rel);
        const uint64_t used = before & kUsedMask;
        if (used <= kSlabBytes && need <= kSlabBytes - used) {
          auto* header = reinterpret_cast<LineHeader*>(s->room + used);
          header->slab = s;
          return header + 1;
        }
        Release(s, need + kHold);
      }
      Replace(s);
    }
  }

  // Never called with the keeper's lock held: slabs are retired outside it.
  void Keep(Slab* slab) noexcept {
    std::unique_ptr<Slab> owned(slab);
    try {
      const std::lock_guard lock(lock_);
      if (kept_.size() < kKeptSlabs) kept_.push_back(std::move(owned));
    } catch (...) {
      // No room to keep it: it goes back to the general allocator.
    }
  }

 private:
  // The slab in use stops taking lines: its bytes go past full and it drops
  // the hold it had on itself, in one step.
  static void Retire(Slab* s) noexcept { Release(s, kHold - kSlabBytes); }

  void Replace(Slab* full) {
    {
      const std::lock_guard lock(lock_);
      if (current_.load(std::memory_order_acquire) != full) return;  // done by another writer
      Install();
    }
    if (full) Retire(full);
  }

  // Under the keeper's lock.
  void Install() {
    std::unique_ptr<Slab> fresh;
    if (!kept_.empty()) {
      fresh = std::move(kept_.back());
      kept_.pop_back();
      // A writer that read the old pointer may still be trying it; it
      // gives back what it took before the slab is in use again.
      uint64_t expected = kKept;
      while (!fresh->state.compare_exchange_weak(expected, kHold, std::memory_order_acq_rel, std::memory_order_relaxed))
        expected = kKept;
    } else {
      fresh = std::make_unique_for_overwrite<Slab>();
      fresh->state.store(kHold, std::memory_order_relaxed);
    }
    current_.store(fresh.release(), std::memory_order_release);
  }

  std::atomic<Slab*> current_{nullptr};
  std::mutex lock_;
  std::vector<std::unique_ptr<Slab>> kept_;
};

SlabKeeper& Keeper() {
  static SlabKeeper keeper;
  return keeper;
}

void Recycle(Slab* slab) noexcept {
  if (keeperGone.load(std::memory_order_acquire)) {
    std::unique_ptr<Slab> drop(slab);
    return;
  }
  Keeper().Keep(slab);
}

}  // namespace

void* AllocateLine(size_t bytes) {
  const size_t need = (bytes + sizeof(LineHeader) + kAlign - 1) & ~(kAlign - 1);
  if (need > kMaxCarve) {
    auto* header = static_cast<LineHeader*>(::operator new(need));
    header->slab = nullptr;
    return header + 1;
  }
  return Keeper().Carve(need);
}

void FreeLine(void* line) noexcept {
  if (!line) return;
  LineHeader* header = static_cast<LineHeader*>(line) - 1;
  if (!header->slab) {
    ::operator delete(header);
    return;
  }
  Release(header->slab, kHold);
}

}  // namespace qorb::logging
