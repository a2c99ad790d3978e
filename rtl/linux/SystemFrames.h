#pragma once
// Which frames a contained fault would abandon: those between the faulting
// instruction and the innermost frame of our code. The C library and the
// loader take locks of their own; a fault under one of their frames may
// leave such a lock held, so it is contained only where their frame is a
// leaf known to take none (the memory and string functions) called
// straight from foreign code.
#include <ucontext.h>

#include <cstdint>

#include "rtl/ExternalExceptions.h"

// Notes which mapped modules are the C library, the loader and their kin,
// and where their leaf functions begin. Once, when the handler is installed.
void MarkSystemModules();

// Walks the faulting thread's frames from the signal context; true when
// none of them holds state that is not foreign. Notes in Fault where the
// system code was and which foreign frame called it. A fault inside the
// walk itself (a library whose unwind data went away) ends it undecided:
// the answer is then false.
bool OnlyForeignFramesAbandoned(TFaultRecord& Fault) noexcept;
