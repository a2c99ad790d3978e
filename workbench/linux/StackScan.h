#pragma once
// Return addresses found in a stack without unwinding it, as a debugger
// finds them without unwind information: words that follow a call
// instruction in code mapped executable. Some may be stale, left by calls
// that returned. Signal-safe; one scan at a time (a second waits).
#include <cstdint>

// From From up to the end of its mapping (at most 512 KB), innermost first;
// -1 when no readable mapping holds From.
int ScanForReturnAddresses(uintptr_t From, uintptr_t* Frames, int Max) noexcept;

// The outermost Max of those in [Low, High) (at most its top 512 KB),
// innermost first: where a thread's first frames are, whatever stale ones
// lie below them.
int ScanOutermostReturnAddresses(uintptr_t Low, uintptr_t High, uintptr_t* Frames, int Max) noexcept;
