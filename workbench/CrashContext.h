#pragma once
// The parts of a crash report that read the same on every platform, written
// with async-signal-safe calls only.
#include <sys/types.h>

#include <cstdint>
#include <string>

#include "rtl/FaultHandler.h"

class TSignalSafeText;
struct TCodePlace;

// " in <module> (<symbol>+0x<offset>)" for a code address, or where it
// lies when no module maps it.
void AddCodePlace(TSignalSafeText& Out, uintptr_t Pc) noexcept;

// "access violation", "stack overflow", ...
const char* CrashFaultName(const TFaultRecord& Fault) noexcept;

// ", write of address 0000..." for a fault that names an access.
void AddFaultAccess(TSignalSafeText& Out, const TFaultRecord& Fault) noexcept;

// Everything after a crash report's first line, then the clean-up; the
// exit status. Where the fault happened ("received at" for a signal that
// was sent) with its module and nearest symbol; the thread, named by the
// plug-in that started it from the return addresses Capture takes on the
// faulting thread (asked only off the main thread); then the context below.
using TCaptureStack = int (*)(uintptr_t* Frames, int Max) noexcept;
int FinishCrashReport(TSignalSafeText& Out, const TFaultRecord& Fault, const qorb::rtl::TForeignFrame* Innermost,
                      bool OnMainThread, pid_t Thread, TCaptureStack Capture) noexcept;

// Where the thread was (our own code, the foreign calls it is inside, a
// runaway recursion counted once) and what the IDE was doing; then the
// message view so far.
void AddCrashContext(TSignalSafeText& Out, const qorb::rtl::TForeignFrame* Innermost) noexcept;

// "std::terminate", and the exception being thrown when there is one
// ("… with an exception of class EAccessViolation: …"). Not in a signal
// handler.
std::string TerminateReason();
// "an exception of class E: message" for the exception the thread is
// handling, or "" when none.
std::string ExceptionInFlight();

// The first of Frames (return addresses, innermost first) in a library that
// may be a plug-in's: its call's address and place. Signal-safe.
bool FirstPluginFrame(const uintptr_t* Frames, int Depth, uintptr_t& Pc, TCodePlace& Place) noexcept;

// The runtime's fault texts name a library that was unloaded since.
void NameUnloadedModulesInFaults();
