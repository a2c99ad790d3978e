#include "winapi/SideHeap.h"

#include <algorithm>
#include <array>
#include <bit>
#include <mutex>
#include <new>
#include <utility>

#include "winapi/PageMap.h"

namespace qorb::winapi {
namespace {

// Blocks by size class, each class a free list, carved from large private
// mappings. A lock and a list pop: what a record of a few dozen bytes
// should cost. Small classes step by 16 bytes, larger ones double; a class
// from 256 bytes up is aligned to its size (to a page at most).
class ClassedHeap final : public std::pmr::memory_resource {
 public:
  static constexpr size_t kSmallStep = 16, kSmallLargest = 256;
  static constexpr size_t kClasses = kSmallLargest / kSmallStep + 7;  // up to 16 KB

 private:
  struct FreeBlock {
    FreeBlock* next;
  };
  static constexpr size_t kRegion = 1 << 20;
  static constexpr size_t kTouch = 64 * 1024;

  static size_t ClassOf(size_t bytes, size_t alignment) noexcept {
    bytes = std::max(bytes, alignment);
    if (bytes <= kSmallLargest && alignment <= kSmallStep) return (std::max<size_t>(bytes, 1) - 1) / kSmallStep;
    const size_t size = std::bit_ceil(std::max(bytes, kSmallLargest * 2));
    return kSmallLargest / kSmallStep + static_cast<size_t>(std::countr_zero(size / (kSmallLargest * 2)));
  }
  static size_t SizeOf(size_t c) noexcept {
    return c < kSmallLargest / kSmallStep ? (c + 1) * kSmallStep
                                          : (kSmallLargest * 2) << (c - kSmallLargest / kSmallStep);
  }

  void* do_allocate(size_t bytes, size_t alignment) override {
    if (alignment > 4096) throw std::bad_alloc();
    if (bytes > kSideHeapLargest) return MapPages((bytes + 4095) & ~size_t{4095});
    const size_t c = ClassOf(bytes, alignment);
    const std::lock_guard lock(mu_);
    if (FreeBlock* b = free_[c]) {
      free_[c] = b->next;
      return b;
    }
    const size_t size = SizeOf(c);
    const size_t align = std::min<size_t>(c < kSmallLargest / kSmallStep ? kSmallStep : size, 4096);
    size_t at = (used_ + align - 1) & ~(align - 1);
    if (!region_ || at + size > kRegion) {
      region_ = static_cast<char*>(MapPages(kRegion));
      at = 0;
      touched_ = 0;
    }
    used_ = at + size;
    // A record or two per library loaded: a fault each would cost more than
    // the record.
    if (used_ > touched_) {
      const size_t from = touched_;
      touched_ = std::min(kRegion, (used_ + kTouch - 1) & ~(kTouch - 1));
      TouchPages(region_ + from, touched_ - from);
    }
    return region_ + at;
  }
  void do_deallocate(void* p, size_t bytes, size_t alignment) override {
    if (bytes > kSideHeapLargest) return UnmapPages(p, (bytes + 4095) & ~size_t{4095});
    const size_t c = ClassOf(bytes, alignment);
    const std::lock_guard lock(mu_);
    free_[c] = ::new (p) FreeBlock{free_[c]};
  }
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  std::mutex mu_;
  std::array<FreeBlock*, kClasses> free_{};
  char* region_ = nullptr;
  size_t used_ = 0;
  size_t touched_ = 0;  // of the region, made present ahead of use
};

// Lives as long as the process: what is kept here may be freed by the last
// static destructors.
template <class T>
union NeverDestroyed {
  NeverDestroyed() : value() {}
  ~NeverDestroyed() {}
  T value;
};

}  // namespace

std::pmr::memory_resource& SideHeap() noexcept {
  static NeverDestroyed<ClassedHeap> heap;
  return heap.value;
}

}  // namespace qorb::winapi
