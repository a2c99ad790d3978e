#pragma once
// Which frames a contained fault would abandon: those between the faulting
// instruction and the innermost frame of our code. The system's libraries
// (the Windows folder's, and the compiler's runtime libraries that take
// locks) hold locks of their own; a fault under one of their frames may
// leave such a lock held, so it is contained only where that frame is the
// innermost and a leaf, which can take none.
#include <windows.h>

#include <cstdint>
#include <string_view>

#include "rtl/ExternalExceptions.h"

// The file name at the end of a module's path.
std::wstring_view ModuleFileName(std::wstring_view Path) noexcept;

// Notes which loaded modules are the system's, now and as the loader maps
// more. Once, when the handler is installed.
void MarkSystemModules();

// Walks the faulting thread's frames from the fault's context, within the
// thread's stack [StackLow, StackHigh); true when none of them holds state
// that is not foreign. Notes in Fault where the system code was and which
// foreign frame called it.
bool OnlyForeignFramesAbandoned(const CONTEXT& Context, uintptr_t StackLow, uintptr_t StackHigh,
                                TFaultRecord& Fault) noexcept;
