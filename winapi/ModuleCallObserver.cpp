#include "winapi/ModuleCallObserver.h"

#include <atomic>

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
