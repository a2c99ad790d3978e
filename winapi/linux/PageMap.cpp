#include "winapi/PageMap.h"

#include <sys/mman.h>

#include <new>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace qorb::winapi {

void* MapPages(size_t Size) {
  void* p = ::mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
#if defined(__SANITIZE_ADDRESS__)
  __lsan_register_root_region(p, Size);
#endif
  return p;
}

void UnmapPages(void* Pages, size_t Size) noexcept {
#if defined(__SANITIZE_ADDRESS__)
  __lsan_unregister_root_region(Pages, Size);
#endif
  ::munmap(Pages, Size);
}

void TouchPages(void* Pages, size_t Size) noexcept {
#if defined(MADV_POPULATE_WRITE)
  ::madvise(Pages, Size, MADV_POPULATE_WRITE);  // an older kernel refuses: the faults come as before
#else
  (void)Pages;
  (void)Size;
#endif
}

}  // namespace qorb::winapi
