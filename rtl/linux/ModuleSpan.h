#pragma once
// The addresses a loaded module's segments take: from the page of its first
// PT_LOAD segment to the end of its last.
#include <link.h>

#include <cstddef>
#include <cstdint>

struct TModuleSpan {
  uintptr_t Start = 0;
  uintptr_t End = 0;  // 0: no loadable segment
};

TModuleSpan LoadedSpan(uintptr_t LoadBias, const ElfW(Phdr) * Phdr, size_t Count) noexcept;

// The mapped module that holds Address: its span and the loader's name for
// it ("" for the program). False, with Span empty, when none does. Reads
// only the loader's list, nothing of the module's file.
bool ModuleHolding(uintptr_t Address, TModuleSpan& Span, const char*& Name) noexcept;
