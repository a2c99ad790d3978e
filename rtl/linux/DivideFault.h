#pragma once
// x86-64 raises one fault for a division by zero and for a quotient too
// large for its register (INT_MIN / -1); the kernel calls both a division
// by zero. The real platform tells them apart by the divisor, and so do we.
#include <ucontext.h>

// Whether the division at the context's instruction had a divisor other
// than zero; false when the instruction is not a division it can read.
bool DivisionOverflowed(const ucontext_t& Context) noexcept;
