#include "logging/Qorb.Main.LogLineMemory.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>

#include "rtl/SchedulePoint.h"

// Under AddressSanitizer the room of a slab no line holds is poisoned, so
// that reading a line after it was freed, or past its end, is reported as
// it would be for memory of the general allocator.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define LINE_ROOM_GONE(at, bytes) ASAN_POISON_MEMORY_REGION(at, bytes)
#define LINE_ROOM_TAKEN(at, bytes) ASAN_UNPOISON_MEMORY_REGION(at, bytes)
#else
#define LINE_ROOM_GONE(at, bytes) static_cast<void>(0)
#define LINE_ROOM_TAKEN(at, bytes) static_cast<void>(0)
#endif

namespace qorb::logging {
namespace {

constexpr size_t kSlabBytes = 64 * 1024;
// Longer lines are rare; they go to the general allocator.
constexpr size_t kMaxCarve = 4096;
constexpr size_t kAlign = alignof(std::max_align_t);

// A slab's state in one word, so that taking room and holding the slab are
// one step: bytes taken (low 40 bits) and holds (high 24 bits). The slab in
// use holds itself once; each line carved from it holds it once.
//
// Bytes taken only grow while a slab is in use: a writer whose line did not
// fit keeps its bytes counted, so no later line can be carved where an
// earlier one lies. The count starts again only when the slab is put back
// in use with nothing held but the keeper's hold.
constexpr uint64_t kHold = uint64_t{1} << 40;
constexpr uint64_t kHoldMask = ~(kHold - 1);
// Waiting to be used again: more than full, held once by the keeper.
constexpr uint64_t kKept = (uint64_t{1} << 39) | kHold;

struct Slab {
  std::atomic<uint64_t> state{0};
  Slab* nextKept = nullptr;
  alignas(kAlign) unsigned char room[kSlabBytes];
};

struct alignas(kAlign) LineHeader {
  Slab* slab;  // null: from the general allocator
  size_t bytes;  // carved, header included
};

void Recycle(Slab* slab) noexcept;

// Set when the keeper is gone (the module is being unloaded, and by then
// no writer may post): slabs emptied after that go back to the allocator.
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

// Every slab ever made stays with the keeper until the module goes: a
// writer may have read the slab in use and not yet taken its hold, so no
// slab can be handed back to the allocator while writers may run. The
// slabs in hand are never more than the most lines ever waiting at once.
class SlabKeeper {
 public:
  ~SlabKeeper() {
    keeperGone.store(true, std::memory_order_release);
    if (Slab* s = current_.exchange(nullptr, std::memory_order_acq_rel)) Retire(s);
    const std::lock_guard lock(lock_);
    while (Slab* s = kept_) {
      kept_ = s->nextKept;
      std::unique_ptr<Slab> drop(s);
    }
  }

  void* Carve(size_t need) {
    for (;;) {
      Slab* s = current_.load(std::memory_order_acquire);
      if (s) {
        SCHEDULE_POINT("line.loaded");
        const uint64_t before = s->state.fetch_add(need + kHold, std::memory_order_acq_rel);
        const uint64_t used = before & ~kHoldMask;
        if (used <= kSlabBytes && need <= kSlabBytes - used) {
          LINE_ROOM_TAKEN(s->room + used, need);
          auto* header = reinterpret_cast<LineHeader*>(s->room + used);
          header->slab = s;
          header->bytes = need;
          return header + 1;
        }
        SCHEDULE_POINT("line.missed");
        Release(s, kHold);
        SCHEDULE_POINT("line.replacing");
      }
      Replace(s);
    }
  }

  void Keep(Slab* slab) noexcept {
    const std::lock_guard lock(lock_);
    slab->nextKept = kept_;
    kept_ = slab;
  }

 private:
  // The slab in use stops taking lines: its bytes go past full and it drops
  // the hold it had on itself, in one step.
  static void Retire(Slab* s) noexcept { Release(s, kHold - kSlabBytes); }

  void Replace(Slab* full) {
    {
      const std::lock_guard lock(lock_);
      if (current_.load(std::memory_order_acquire) != full) return;  // done by another writer
      current_.store(Install(), std::memory_order_release);
    }
    if (full) Retire(full);
  }

  // Under the keeper's lock. A kept slab is used again only while the
  // keeper's is its one hold: a writer that read it while it was in use may
  // still be trying it, and gives back its hold when it sees it full.
  Slab* Install() {
    if (Slab* s = kept_) {
      uint64_t now = s->state.load(std::memory_order_acquire);
      if ((now & kHoldMask) == kHold && s->state.compare_exchange_strong(now, kHold, std::memory_order_acq_rel)) {
        kept_ = s->nextKept;
        return s;
      }
    }
    auto fresh = std::make_unique_for_overwrite<Slab>();
    fresh->state.store(kHold, std::memory_order_relaxed);
    LINE_ROOM_GONE(fresh->room, kSlabBytes);
    return fresh.release();
  }

  std::atomic<Slab*> current_{nullptr};
  std::mutex lock_;
  Slab* kept_ = nullptr;
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
  Slab* const slab = header->slab;
  LINE_ROOM_GONE(header, header->bytes);
  Release(slab, kHold);
}

}  // namespace qorb::logging
