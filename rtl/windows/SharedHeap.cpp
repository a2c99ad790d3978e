#include "rtl/SharedHeap.h"

#include <windows.h>

// Not a C runtime's malloc: msvcrt, the UCRT and a plug-in without any C
// runtime each have their own heap, and a block freed on the wrong one is a
// heap corruption. The process heap is the one they all reach.
void* SharedHeapAlloc(size_t Size) noexcept { return HeapAlloc(GetProcessHeap(), 0, Size); }
void SharedHeapFree(void* Block) noexcept {
  if (Block) HeapFree(GetProcessHeap(), 0, Block);
}
