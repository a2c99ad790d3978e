#include "rtl/SharedHeap.h"

#include <cstdlib>

// One C library serves every module of the process.
void* SharedHeapAlloc(size_t Size) noexcept { return std::malloc(Size); }
void SharedHeapFree(void* Block) noexcept { std::free(Block); }
