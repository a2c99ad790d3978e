#pragma once
// The runtime's handler of processor faults (SIGSEGV, SIGBUS, SIGFPE,
// SIGILL). A fault in foreign code on a thread inside CallForeign becomes an
// exception there; any other fault ends the process, after the crash
// reporter (if one is set) and the handler installed before ours have run.
#include "rtl/ExternalExceptions.h"
#include "rtl/ForeignCall.h"

// Installs the handler, once per process; later calls do nothing. Marks
// the program and the runtime's own libraries as our code. CallForeign
// installs it on first use; a program that wants reports of faults on any
// thread installs it at start.
void InstallFaultHandler();

// Code in the module that holds Address is ours: a fault there is never
// contained. The program and the libraries named libqorb* mapped when the
// handler is installed are ours already; MarkOwnModules looks again.
void MarkOwnModule(const void* Address);
void UnmarkOwnModule(const void* Address);
void MarkOwnModules();
// Whether the code at Address is neither ours nor the system's (the C
// library, the loader, a sanitizer's runtime): a plug-in's, as far as can be
// told. False before the handler is installed. Lock-free, signal-safe.
bool IsForeignCodeAt(const void* Address) noexcept;

// Called in the signal handler, on the faulting thread, for a fault that is
// not contained. Only async-signal-safe calls are allowed. Innermost is the
// thread's innermost foreign call, or null. Answers the exit status the
// process ends with, or 0 to let the signal end it.
using TCrashReporter = int (*)(const TFaultRecord& Fault, const qorb::rtl::TForeignFrame* Innermost);
void SetCrashReporter(TCrashReporter Reporter);

// Puts the runtime's filter of unhandled exceptions back where another
// replaced it (Windows); answers the filter it replaced, or null.
const void* ReclaimUnhandledFilter() noexcept;

// The stack of the calling thread gets an alternate signal stack, so that a
// stack overflow can be reported; CallForeign does this for its threads.
void PrepareThreadForFaults();

// The calling thread's stack, as PrepareThreadForFaults found it; false
// before. Signal-safe.
bool PreparedThreadStack(uintptr_t& Low, uintptr_t& High) noexcept;
