#pragma once
// Reading a pointer out of foreign memory (an object's method table, a slot
// of it) on foreign code's behalf, inside a call into it: a fault in this
// read is the foreign call's, contained like one in its code. Our code
// reads what a plug-in handed it this way where that memory may be gone.
#include <cstddef>
#include <cstdint>

extern "C" const void* QorbReadForeignPointer(const void* const* At) noexcept;

namespace qorb::rtl {
// Whether Pc is the instruction of that read.
bool IsForeignRead(uintptr_t Pc) noexcept;
}  // namespace qorb::rtl

// The code behind a method-table slot, both reads made as above.
inline const void* ForeignSlotCode(const void* Object, size_t Slot) noexcept {
  const void* table = QorbReadForeignPointer(static_cast<const void* const*>(Object));
  return QorbReadForeignPointer(static_cast<const void* const*>(table) + Slot);
}
