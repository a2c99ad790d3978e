#pragma once
// Internal to the runtime: the foreign calls in progress on each thread,
// shared by CallForeign and the fault handler.
#include <csetjmp>

#include "rtl/ExternalExceptions.h"
#include "rtl/ForeignCall.h"

namespace qorb::rtl {

// The jump back to a boundary keeps only the frame, the stack pointer and
// the place to go on (the compiler's own non-local jump): entering a
// boundary costs three stores, and the function that set it restores its
// registers itself. The signal mask is put back by the handler.
// ThreadSanitizer keeps its own stack in step only with the C library's
// jumps.
#if defined(__SANITIZE_THREAD__)
using TJump = sigjmp_buf;
#define QORB_SET_JUMP(jump) sigsetjmp(jump, 0)
#define QORB_LONG_JUMP(jump) siglongjmp(jump, 1)
#else
using TJump = void* [5];
#define QORB_SET_JUMP(jump) __builtin_setjmp(jump)
#define QORB_LONG_JUMP(jump) __builtin_longjmp(jump, 1)
#endif

struct TContainment {
  TJump Jump;
};
// The fault the handler contained last on this thread, written before it
// jumps and read at once where it lands.
extern constinit thread_local TFaultRecord ContainedFault __attribute__((tls_model("initial-exec")));

// Whether this thread has its alternate stack and the handler is installed.
extern constinit thread_local bool ThreadReady __attribute__((tls_model("initial-exec")));
void MakeThreadReady();

}  // namespace qorb::rtl
