#pragma once
// The report of a plug-in that ended the process: which library called
// what, and what the IDE was doing. Signal-safe; the crash clean-up runs
// after it. The caller ends the process.
void ReportPluginExit(const void* Caller, const char* How, int Status) noexcept;
