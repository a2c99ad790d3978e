#pragma once
// The crash and hang reports' account of the last exception of ours that
// came back out through plug-in frames, none of which took it: the one it
// came from and those it passed, whose locks may be the ones held now.
class TSignalSafeText;

// Nothing when there was none. Only async-signal-safe calls; one report at
// a time.
void AddExceptionPassage(TSignalSafeText& Out) noexcept;
