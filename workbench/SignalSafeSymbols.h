#pragma once
// Where a code address lies, found with async-signal-safe calls only, for
// what the IDE writes while a fault ends the process: on Linux the
// process's mapping list and the module's ELF symbol tables, read with
// pread; on Windows the module the loader has there, its export table in
// memory and the COFF symbol table of its file.
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

// Whether a module may be a plug-in's or the About library's, not the
// system's or a runtime's: on Linux a *.dll; on Windows, where every library
// is one, a *.dll outside the Windows folder that is neither a compiler
// runtime nor one of ours (libqorb*).
bool MayBePluginModule(const char* Path) noexcept;
