#include "rtl/ForeignFrames.h"

// The fault handler jumps back here, over the foreign frames, which have
// no handlers of ours to run.
qorb::rtl::TOutcome qorb::rtl::Enter(const TForeignCall& Call, void (*Run)(void*), void* Context,
                                     std::exception_ptr& Escaped, TFaultRoom& Fault) noexcept {
  TContainment containment;
  const TForeignFrame frame = EnteringFrame(Call, containment);
  if (QORB_SET_JUMP(containment.Jump) != 0) return Leave(frame, TOutcome::Faulted, Fault);
  // No object with a destructor is made between here and the foreign code:
  // the jump back passes over it.
  ForeignTop = const_cast<TForeignFrame*>(&frame);
  try {
    Run(Context);
  } catch (...) {
    // Kept past the catch, so that the exception is described and
    // destroyed inside calls of their own.
    Escaped = std::current_exception();
  }
  return Leave(frame, Escaped ? TOutcome::Raised : TOutcome::Returned, Fault);
}
