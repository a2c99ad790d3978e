#pragma once
// x86-64 raises one fault for a division by zero and for a quotient too
// large for its register (INT_MIN / -1); Linux calls both a division by
// zero, and so does Wine. The real platform tells them apart by the
// divisor, and so do we.
#include <cstdint>

// Whether the division at Instruction had a divisor other than zero; false
// when it is not a division this can read. Registers are the faulting
// thread's general registers, in the order instructions number them (rax,
// rcx, rdx, rbx, rsp, rbp, rsi, rdi, r8 to r15).
bool DivisionOverflowed(const uint8_t* Instruction, const uint64_t (&Registers)[16]) noexcept;
