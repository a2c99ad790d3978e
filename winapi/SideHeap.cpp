#include "winapi/SideHeap.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace qorb::winapi {
namespace {

std::atomic<size_t> mappedBytes{0};

// Hands out pieces of large private mappings and never takes them back:
// the pool above keeps what it is given and reuses it.
class Mapped final : public std::pmr::memory_resource {
 private:
  static constexpr size_t kRegion = 1 << 20;

  void* do_allocate(size_t bytes, size_t alignment) override {
    const std::lock_guard lock(mu_);
    size_t at = (used_ + alignment - 1) & ~(alignment - 1);
    if (!region_ || at + bytes > size_) {
      const size_t size = std::max(kRegion, (bytes + 4095) & ~size_t{4095});
      void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      if (p == MAP_FAILED) throw std::bad_alloc();
#if defined(__SANITIZE_ADDRESS__)
      // Pointers to the general heap kept here keep their blocks alive.
      __lsan_register_root_region(p, size);
#endif
      mappedBytes += size;
      region_ = static_cast<char*>(p);
      size_ = size;
      at = 0;
    }
    used_ = at + bytes;
    return region_ + at;
  }
  void do_deallocate(void*, size_t, size_t) override {}
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  std::mutex mu_;
  char* region_ = nullptr;
  size_t size_ = 0;
  size_t used_ = 0;
};

// Lives as long as the process: what is kept here may be freed by the last
// static destructors.
template <class T>
union NeverDestroyed {
  template <class... A>
  explicit NeverDestroyed(A&&... args) : value(std::forward<A>(args)...) {}
  ~NeverDestroyed() {}
  T value;
};

}  // namespace

std::pmr::memory_resource& SideHeap() noexcept {
  static NeverDestroyed<Mapped> upstream;
  static NeverDestroyed<std::pmr::synchronized_pool_resource> pool(
      std::pmr::pool_options{.max_blocks_per_chunk = 0, .largest_required_pool_block = kSideHeapLargest},
      &upstream.value);
  return pool.value;
}

size_t SideHeapBytes() noexcept { return mappedBytes.load(std::memory_order_relaxed); }

}  // namespace qorb::winapi
