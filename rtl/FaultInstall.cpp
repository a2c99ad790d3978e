#include <atomic>
#include <mutex>

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
  ThreadReady = true;
}
