#pragma once
// Internal to the runtime: the C++ runtime's per-thread exception state,
// which a contained fault must leave as the boundary found it. Frames that
// were handling an exception (a fault in a catch block) or unwinding one (a
// fault in a destructor) are abandoned with the fault; the runtime would
// otherwise go on believing they are still there.
#include <cstdint>

#include "rtl/ThreadLocal.h"

namespace qorb::rtl {

// The layout of libstdc++'s per-thread record: the innermost exception
// being handled, and the count of exceptions thrown and not yet caught.
struct TCxxExceptionState {
  void* Caught;
  uint32_t Uncaught;
};

// This thread's record, found once when the thread is made ready, so that
// entering a boundary costs two loads.
extern constinit thread_local TCxxExceptionState* CxxExceptions QORB_HANDLER_TLS;
void FindCxxExceptionState() noexcept;

// Ends the handling of every exception caught since Caught was innermost
// (their destructors are foreign code: each in a call of its own), and puts
// the count of exceptions in flight back to Uncaught.
void RestoreCxxExceptionState(void* Caught, uint32_t Uncaught) noexcept;

}  // namespace qorb::rtl
