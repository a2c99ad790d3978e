#pragma once
// Internal to the runtime: the foreign calls in progress on each thread,
// shared by CallForeign and the fault handler.
#include <csetjmp>
#include <exception>
#include <memory>

#include "rtl/CxxExceptionState.h"
#include "rtl/ExternalExceptions.h"
#include "rtl/ForeignCall.h"
#include "rtl/OwnMutex.h"
#include "rtl/ThreadLocal.h"

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

// Room for a fault record that is made only when a fault is written in:
// a boundary crossed without a fault costs no stores for it.
struct TFaultRoom {
  TFaultRoom() noexcept {}
  union {
    TFaultRecord Fault;
  };
  void Put(const TFaultRecord& Record) noexcept { std::construct_at(&Fault, Record); }
};

// A boundary's own: where the handler leaves a fault it contained there,
// and the way back to it (on Linux a jump, on Windows its frame's stack
// pointer, set as the frame is entered).
struct TContainment {
  TFaultRoom Contained;
  TJump Jump;
  void* Stack;
};

enum class TOutcome { Returned, Faulted, Raised };
// The platform's boundary: runs Run(Context) in a frame of its own on the
// thread's chain, and answers how it ended: a fault contained there (in
// Fault), an exception that left it (in Escaped), or a return. Nothing
// leaves it but a return.
TOutcome Enter(const TForeignCall& Call, void (*Run)(void*), void* Context, std::exception_ptr& Escaped,
               TFaultRoom& Fault) noexcept;

// What every platform's boundary does as it enters and as it leaves.
inline TForeignFrame EnteringFrame(const TForeignCall& Call, TContainment& Containment) noexcept {
  const TCxxExceptionState* exceptions = CxxExceptions;
  return {&Call, ForeignTop, &Containment, OwnLocksHeld, exceptions->Caught, exceptions->Uncaught};
}
inline TOutcome Leave(const TForeignFrame& Frame, TOutcome Outcome, TFaultRoom& Fault) noexcept {
  ForeignTop = Frame.Outer;
  if (Outcome == TOutcome::Faulted) {
    RestoreCxxExceptionState(Frame.CaughtAtEntry, Frame.UncaughtAtEntry);
    Fault.Put(Frame.Containment->Contained.Fault);
  }
  return Outcome;
}

// Whether this thread has its alternate stack and the handler is installed.
extern constinit thread_local bool ThreadReady QORB_HANDLER_TLS;
// A call into foreign code made with the stack below this could overflow it
// where no room is left to raise the overflow: it is refused with one. 0
// where the platform can raise it anywhere.
extern constinit thread_local uintptr_t StackFloor QORB_HANDLER_TLS;
void MakeThreadReady();

// Back at the boundary after the handler contained a fault: what the
// platform needs put right before the thread goes on (a stack's guard
// page used up by an overflow).
void AfterContainedFault(const TFaultRecord& Fault) noexcept;

}  // namespace qorb::rtl
