#pragma once
// Method tables as code built by another compiler sees them.
#include <cstdint>
#include <cstring>

// Calls through an interface's method table by slot number.
template <class Fn>
Fn RawSlot(void* intf, int slot) {
  return reinterpret_cast<Fn>((*static_cast<void***>(intf))[slot]);
}

// The slot of a virtual member function: the Itanium C++ ABI stores one
// plus its byte offset in the method table.
template <class M>
int SlotOf(M method) {
  static_assert(sizeof(M) == 2 * sizeof(void*));
  uintptr_t words[2];
  std::memcpy(words, &method, sizeof(words));
  return static_cast<int>((words[0] - 1) / sizeof(void*));
}
