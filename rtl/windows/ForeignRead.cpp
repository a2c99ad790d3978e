#include "rtl/ForeignRead.h"

// One instruction that may fault, and its return: written by hand so that
// where it lies is known exactly.
__asm__(
    ".text\n"
    ".globl QorbReadForeignPointer\n"
    ".def QorbReadForeignPointer; .scl 2; .type 32; .endef\n"
    "QorbReadForeignPointer:\n"
    "  movq (%rcx), %rax\n"
    "  ret\n");

bool qorb::rtl::IsForeignRead(uintptr_t Pc) noexcept { return Pc == reinterpret_cast<uintptr_t>(&QorbReadForeignPointer); }
