#include "rtl/AddressInfo.h"

#include <link.h>
#include <unistd.h>

#include <csignal>

#include "rtl/linux/ModuleSpan.h"

std::string ModulePathOf(const void* Address) {
  // From the loader's list alone: unlike dladdr, which reads the module's
  // symbols, this reads nothing of a library whose file shrank under it.
  struct TSearch {
    uintptr_t Address;
    const char* Path = nullptr;
    bool Program = false;
  } search{reinterpret_cast<uintptr_t>(Address)};
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<TSearch*>(data);
        const TModuleSpan span = LoadedSpan(info->dlpi_addr, info->dlpi_phdr, info->dlpi_phnum);
        if (s->Address < span.Start || s->Address >= span.End) return 0;
        s->Path = info->dlpi_name;
        s->Program = !info->dlpi_name || !*info->dlpi_name;
        return 1;
      },
      &search);
  if (search.Program) {
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
  }
  return search.Path ? search.Path : std::string();
}

TFaultRecord UnmappedAccess(uintptr_t Pc, uintptr_t Address) noexcept {
  TFaultRecord fault;
  fault.Signal = SIGSEGV;
  fault.Code = SEGV_MAPERR;
  fault.Pc = Pc;
  fault.Address = Address;
  return fault;
}
