#include "rtl/ForeignFrames.h"

#include "rtl/OwnMutex.h"

// On their own: code that only marks its frames needs nothing else of the
// runtime's fault handling.
namespace qorb::rtl {
constinit thread_local TForeignFrame* ForeignTop QORB_HANDLER_TLS = nullptr;
constinit thread_local bool ThreadReady QORB_HANDLER_TLS = false;
constinit thread_local uintptr_t StackFloor QORB_HANDLER_TLS = 0;
constinit thread_local uint32_t OwnLocksHeld QORB_HANDLER_TLS = 0;
}  // namespace qorb::rtl
