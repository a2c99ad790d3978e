#pragma once
// Where a code address lies, found with async-signal-safe calls only (the
// process's own mapping list and the module's file, read with pread), for
// what the IDE writes while a fault ends the process.
#include <cstddef>
#include <cstdint>

struct TCodePlace {
  char Module[512] = {};  // the file mapped there; empty when none is
  char Symbol[256] = {};  // the nearest symbol at or below; empty when none
  uintptr_t Offset = 0;   // from that symbol
};

// Uses static buffers: one caller at a time.
bool FindCodePlace(uintptr_t Address, TCodePlace& Place) noexcept;

// Each line of the process's mapping list: its range and its permissions
// ("r-xp"). Uses a static buffer: one caller at a time.
using TMappingVisitor = void (*)(void* Data, uintptr_t Start, uintptr_t End, const char* Perms);
void ForEachMapping(TMappingVisitor Visit, void* Data) noexcept;
