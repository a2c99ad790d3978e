#include <windows.h>

#include <new>

#include "winapi/PageMap.h"

namespace qorb::winapi {

void* MapPages(size_t Size) {
  void* p = ::VirtualAlloc(nullptr, Size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!p) throw std::bad_alloc();
  return p;
}

void UnmapPages(void* Pages, size_t) noexcept { ::VirtualFree(Pages, 0, MEM_RELEASE); }

// Committed pages are zeroed on first touch either way; nothing to gain.
void TouchPages(void*, size_t) noexcept {}

}  // namespace qorb::winapi
