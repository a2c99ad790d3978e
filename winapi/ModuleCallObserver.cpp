#include "winapi/ModuleCallObserver.h"

#include <dlfcn.h>
#include <link.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace qorb::winapi {
namespace {
std::atomic<ModuleCallObserver*> observer{nullptr};
}

ModuleCallObserver* SetModuleCallObserver(ModuleCallObserver* Observer) noexcept { return observer.exchange(Observer); }

ModuleCallObserver* CurrentModuleCallObserver() noexcept { return observer.load(std::memory_order_acquire); }

ModuleCallTimer::ModuleCallTimer(ModuleCall Call) noexcept : observer_(CurrentModuleCallObserver()) {
  report_.Call = Call;
  if (observer_) report_.Start = std::chrono::steady_clock::now();
}

ModuleCallTimer::~ModuleCallTimer() {
  if (!observer_) return;
  report_.Elapsed = std::chrono::steady_clock::now() - report_.Start;
  observer_->OnModuleCall(report_);
}

}  // namespace qorb::winapi

namespace qorb::winapi {
namespace {

struct Range {
  uintptr_t base;
  uintptr_t begin = UINTPTR_MAX;
  uintptr_t end = 0;
  bool found = false;
};

int FindRange(dl_phdr_info* info, size_t, void* data) {
  auto* r = static_cast<Range*>(data);
  if (info->dlpi_addr != r->base) return 0;
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_LOAD) continue;
    r->begin = std::min<uintptr_t>(r->begin, info->dlpi_addr + ph.p_vaddr);
    r->end = std::max<uintptr_t>(r->end, info->dlpi_addr + ph.p_vaddr + ph.p_memsz);
  }
  r->found = r->begin < r->end;
  return r->found ? 1 : 0;
}

}  // namespace

bool IsModuleMappedAt(HMODULE Base) noexcept {
  Range r{static_cast<uintptr_t>(Base)};
  dl_iterate_phdr(&FindRange, &r);
  return r.found;
}

}  // namespace qorb::winapi
