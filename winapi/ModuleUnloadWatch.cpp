#include "winapi/ModuleUnloadWatch.h"

#include <mutex>

namespace qorb::winapi {

namespace {

std::mutex watchLock;
ModuleUnloadWatcher watcher = nullptr;
void* watcherData = nullptr;

}  // namespace

void SetModuleUnloadWatcher(ModuleUnloadWatcher Watcher, void* Data) noexcept {
  const std::lock_guard guard(watchLock);
  watcher = Watcher;
  watcherData = Data;
}

void NotifyModuleUnloading(const ModuleRange& Going) noexcept {
  // Held during the call, so that a watcher taken away is not called after.
  const std::lock_guard guard(watchLock);
  if (watcher) watcher(watcherData, Going.first, Going.last, Going.path.c_str());
}

}  // namespace qorb::winapi
