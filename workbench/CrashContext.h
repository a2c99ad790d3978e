#pragma once
// The parts of a crash report that read the same on every platform, written
// with async-signal-safe calls only.
#include "rtl/FaultHandler.h"

class TSignalSafeText;

// "access violation", "stack overflow", ...
const char* CrashFaultName(const TFaultRecord& Fault) noexcept;

// Where the thread was (our own code, the foreign calls it is inside, a
// runaway recursion counted once) and what the IDE was doing; then the
// message view so far.
void AddCrashContext(TSignalSafeText& Out, const qorb::rtl::TForeignFrame* Innermost) noexcept;

// The runtime's fault texts name a library that was unloaded since.
void NameUnloadedModulesInFaults();
