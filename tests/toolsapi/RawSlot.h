#pragma once
// Calls through an interface's method table by slot number, as code built
// by another compiler would.
template <class Fn>
Fn RawSlot(void* intf, int slot) {
  return reinterpret_cast<Fn>((*static_cast<void***>(intf))[slot]);
}
