#include "rtl/ForeignRead.h"

// One instruction that may fault, and its return: written by hand so that
// where it lies is known exactly.
__asm__(
    ".text\n"
    ".globl QorbReadForeignPointer\n"
    ".type QorbReadForeignPointer, @function\n"
    "QorbReadForeignPointer:\n"
    "  movq (%rdi), %rax\n"
    "  ret\n"
    ".size QorbReadForeignPointer, . - QorbReadForeignPointer\n");

bool qorb::rtl::IsForeignRead(uintptr_t Pc) noexcept { return Pc == reinterpret_cast<uintptr_t>(&QorbReadForeignPointer); }
