#include <atomic>
#include <mutex>

#include "rtl/CxxExceptionState.h"
#include "rtl/FaultHandler.h"
#include "rtl/ForeignFrames.h"
#include "rtl/OwnModules.h"

namespace {
std::once_flag installOnce;
std::atomic<bool> installed{false};
}  // namespace

void InstallFaultHandler() {
  if (installed.load(std::memory_order_acquire)) return;
  std::call_once(installOnce, [] {
    MarkOwnModules();
    PrepareThreadForFaults();
    qorb::rtl::InstallPlatformHandlers();
    installed.store(true, std::memory_order_release);
  });
}

void qorb::rtl::MakeThreadReady() {
  InstallFaultHandler();
  PrepareThreadForFaults();
  FindCxxExceptionState();
  ThreadReady = true;
}

bool IsForeignCodeAt(const void* Address) noexcept {
  const auto pc = reinterpret_cast<uintptr_t>(Address);
  return installed.load(std::memory_order_acquire) && !qorb::rtl::IsOwnCode(pc) &&
         qorb::rtl::SystemCodeKind(pc) == qorb::rtl::TSystemKind::None;
}
