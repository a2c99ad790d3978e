#pragma once
// Return addresses found in a stack without unwinding it, as a debugger
// finds them without unwind information: the words from From up to the end
// of its mapping (at most 512 KB) that follow a call instruction in code
// mapped executable. Some may be stale, left by calls that returned.
#include <cstdint>

// Innermost first; -1 when no mapping holds From. Signal-safe; uses static
// buffers: one caller at a time.
int ScanForReturnAddresses(uintptr_t From, uintptr_t* Frames, int Max) noexcept;
