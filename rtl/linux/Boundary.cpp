#include "rtl/ForeignFrames.h"

// The fault handler jumps back here, over the foreign frames, which have
// no handlers of ours to run.
qorb::rtl::TOutcome qorb::rtl::RunInside(TForeignFrame& Frame, void (*Run)(void*), void* Context,
                                         std::exception_ptr& Escaped) noexcept {
  if (QORB_SET_JUMP(Frame.Containment->Jump) != 0) return TOutcome::Faulted;
  // No object with a destructor is made between here and the foreign code:
  // the jump back passes over it.
  ForeignTop = &Frame;
  try {
    Run(Context);
  } catch (...) {
    // Kept past the catch, so that the exception is described and
    // destroyed inside calls of their own.
    Escaped = std::current_exception();
  }
  return Escaped ? TOutcome::Raised : TOutcome::Returned;
}
