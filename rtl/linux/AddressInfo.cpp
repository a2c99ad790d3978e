#include "rtl/AddressInfo.h"

#include <unistd.h>

#include <csignal>

#include "rtl/linux/ModuleSpan.h"

std::string ModulePathOf(const void* Address) {
  // From the loader's list alone: unlike dladdr, which reads the module's
  // symbols, this reads nothing of a library whose file shrank under it.
  TModuleSpan span;
  const char* name = nullptr;
  if (!ModuleHolding(reinterpret_cast<uintptr_t>(Address), span, name)) return {};
  if (*name) return name;
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
  return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

TFaultRecord UnmappedAccess(uintptr_t Pc, uintptr_t Address) noexcept {
  TFaultRecord fault;
  fault.Signal = SIGSEGV;
  fault.Code = SEGV_MAPERR;
  fault.Pc = Pc;
  fault.Address = Address;
  return fault;
}
