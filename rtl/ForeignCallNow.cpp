#include "rtl/ForeignCallNow.h"

#include "rtl/ForeignFrames.h"

const TForeignCall* InnermostForeignCall() noexcept {
  // Frames without a call mark our own code between foreign calls.
  for (const qorb::rtl::TForeignFrame* f = qorb::rtl::ForeignTop; f; f = f->Outer)
    if (f->Call) return f->Call;
  return nullptr;
}
