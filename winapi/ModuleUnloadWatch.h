#pragma once
// One watcher told just before a library's code leaves the process (the
// last FreeLibrary of it), on the freeing thread, while the code is still
// mapped: a debugger's chance to see which threads still run there.
#include <cstdint>

namespace qorb::winapi {

struct ModuleRange;

// Must not throw, and must not load or free modules.
using ModuleUnloadWatcher = void (*)(void* Data, uintptr_t First, uintptr_t Last, const char* Path);

// Installs Watcher (null: none).
void SetModuleUnloadWatcher(ModuleUnloadWatcher Watcher, void* Data) noexcept;

// FreeLibrary's part.
void NotifyModuleUnloading(const ModuleRange& Going) noexcept;

}  // namespace qorb::winapi
