#include "rtl/AddressInfo.h"

#include <dlfcn.h>

#include <csignal>

std::string ModulePathOf(const void* Address) {
  Dl_info info{};
  if (!::dladdr(Address, &info) || !info.dli_fname) return {};
  return info.dli_fname;
}

TFaultRecord UnmappedAccess(uintptr_t Pc, uintptr_t Address) noexcept {
  TFaultRecord fault;
  fault.Signal = SIGSEGV;
  fault.Code = SEGV_MAPERR;
  fault.Pc = Pc;
  fault.Address = Address;
  return fault;
}
