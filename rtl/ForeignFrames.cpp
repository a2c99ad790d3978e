#include "rtl/ForeignFrames.h"

#include "rtl/OwnMutex.h"

// On their own: code that only marks its frames needs nothing else of the
// runtime's fault handling.
namespace qorb::rtl {
constinit thread_local TForeignFrame* ForeignTop __attribute__((tls_model("initial-exec"))) = nullptr;
constinit thread_local bool ThreadReady __attribute__((tls_model("initial-exec"))) = false;
constinit thread_local TFaultRecord ContainedFault __attribute__((tls_model("initial-exec")));
constinit thread_local uint32_t OwnLocksHeld __attribute__((tls_model("initial-exec"))) = 0;
}  // namespace qorb::rtl
