#pragma once
// One watcher told just before a library's code leaves the process (the
// last FreeLibrary of it), on the freeing thread, while the code is still
// mapped: a debugger's chance to see which threads still run there.
#include <cstdint>
#include <string>

namespace qorb::winapi {

// A loaded library's code, first to last mapped byte, and its file.
struct ModuleRange {
  uintptr_t first = 0, last = 0;
  std::string path;
};

// Must not throw, and must not load or free modules.
using ModuleUnloadWatcher = void (*)(void* Data, uintptr_t First, uintptr_t Last, const char* Path);

// Installs Watcher (null: none).
void SetModuleUnloadWatcher(ModuleUnloadWatcher Watcher, void* Data) noexcept;

// FreeLibrary's part.
void NotifyModuleUnloading(const ModuleRange& Going) noexcept;

}  // namespace qorb::winapi
