#pragma once
// The crash and hang reports' "Message view so far": the lines the view
// has, then those a logger queued that have not reached it yet (the main
// thread may never drain them now).
class TSignalSafeText;

// Only async-signal-safe calls; one report at a time.
void WriteMessageViewSoFar(TSignalSafeText& Out) noexcept;
