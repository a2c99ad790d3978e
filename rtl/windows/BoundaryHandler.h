#pragma once
// Internal to the Windows runtime: the boundary's frame and its handler.
#include <windows.h>

#include "rtl/ForeignFrames.h"

extern "C" {
// Calls Run(Context) in the boundary's frame, whose stack pointer it
// leaves in *Stack; answers 1 when a fault was contained there (the
// handler left it in Frame's containment), else 0.
int QorbBoundaryCall(void (*Run)(void*), void* Context, qorb::rtl::TForeignFrame* Frame, void** Stack);
// Where the platform's unwinding lands after a contained fault.
void QorbBoundaryLanding();
// Entered with the boundary frame's stack pointer after an overflow:
// returns 1 from QorbBoundaryCall with the caller's registers put back.
void QorbBoundaryResume();
// Calls Run(Context) on the stack whose top is StackTop.
void QorbCallOnStack(void (*Run)(void*), void* Context, void* StackTop);
// The frame's language handler, called as the system dispatches an
// exception and as it unwinds.
EXCEPTION_DISPOSITION QorbBoundaryHandler(EXCEPTION_RECORD* Record, void* EstablisherFrame, CONTEXT* Context,
                                          DISPATCHER_CONTEXT* Dispatcher);
}

// The TForeignFrame the boundary's frame at EstablisherFrame was called with.
inline qorb::rtl::TForeignFrame* BoundaryFrameAt(void* EstablisherFrame) noexcept {
  return *reinterpret_cast<qorb::rtl::TForeignFrame**>(static_cast<char*>(EstablisherFrame) + 32);
}
