#pragma once
// What qorb-ide writes to standard error when a fault that nobody contains
// ends the process: the signal and address, the module and nearest symbol,
// the foreign call the thread was in, what the IDE was doing, and the
// message-view lines written so far. The process then ends with status 70.
#include <string_view>

class TSignalSafeText;

inline constexpr int CrashExitStatus = 70;

// Installs the runtime's fault handler and this report, once per process.
void InstallCrashReport();

// What the IDE is doing now ("clicking "Qorb/Ping""); main thread only.
void SetCrashActivity(std::string_view What);

// One message-view line, kept where the report can read it back.
void JournalMessageLine(std::string_view Line);

// For the hang report, with the same async-signal-safe calls: what the IDE
// is doing, and the lines journaled as the view got them.
const char* CrashActivity() noexcept;
void WriteMessageJournal(TSignalSafeText& Out) noexcept;

// What must not outlive the process even when it ends in a report (a
// temporary folder): Cleanup runs, async-signal-safe, before a crash or hang
// report ends it. One at a time; null: none.
void SetCrashCleanup(void (*Cleanup)(void* Data), void* Data) noexcept;
void RunCrashCleanup() noexcept;

// Ends the process at once with Status: no exit handlers, no library
// finalization (a hung thread may hold what they would wait for).
[[noreturn]] void EndProcessNow(int Status) noexcept;
