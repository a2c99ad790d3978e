#pragma once
// The allocator of every block that modules hand each other (strings,
// dynamic arrays): the one every module of the process reaches, whatever
// its compiler and C runtime, so that any module can free what another
// made. Never raises; Alloc answers null when memory runs out.
#include <cstddef>

void* SharedHeapAlloc(size_t Size) noexcept;
void SharedHeapFree(void* Block) noexcept;
