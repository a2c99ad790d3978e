#include "rtl/ForeignFrames.h"

// On their own: code that only marks its frames needs nothing else of the
// runtime's fault handling.
namespace qorb::rtl {
constinit thread_local TForeignFrame* ForeignTop __attribute__((tls_model("initial-exec"))) = nullptr;
constinit thread_local bool ThreadReady __attribute__((tls_model("initial-exec"))) = false;
constinit thread_local TFaultRecord ContainedFault __attribute__((tls_model("initial-exec")));
}  // namespace qorb::rtl
