#pragma once
// What a plug-in may not do to the process it shares, watched where the
// process does it: start a thread the fault handler knows nothing of, take
// over the handling of processor faults, or end the process. qorb-ide's
// program takes part in these calls (on Linux, its own definitions of them
// come before the C library's); this is what it asks.
#include <string>
#include <vector>

// A plug-in's change to the fault handling that the IDE refused ("replaced
// the handler of SIGSEGV"); named at once on standard error and kept for
// --strict.
void NotePluginTookFaultHandling(const void* Caller, const char* What);
// "FaultyC.dll replaced the handler of SIGSEGV", one line each.
std::vector<std::string> FaultHandlingTaken();
// Takes back what the platform lets a plug-in take without a call the
// IDE takes part in (Windows' unhandled-exception filter), naming it.
void ReclaimFaultHandling();

// A plug-in called exit or _exit: ends the run with a report naming it and
// what the IDE was doing, after the crash clean-up (a temporary folder).
[[noreturn]] void EndForPluginExit(const void* Caller, const char* How, int Status) noexcept;
