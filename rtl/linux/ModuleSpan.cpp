#include "rtl/linux/ModuleSpan.h"

#include <unistd.h>

#include <algorithm>

TModuleSpan LoadedSpan(uintptr_t LoadBias, const ElfW(Phdr) * Phdr, size_t Count) noexcept {
  const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  uintptr_t first = UINTPTR_MAX, end = 0;
  for (size_t i = 0; i < Count; ++i) {
    if (Phdr[i].p_type != PT_LOAD) continue;
    first = std::min<uintptr_t>(first, Phdr[i].p_vaddr & ~(page - 1));
    end = std::max<uintptr_t>(end, Phdr[i].p_vaddr + Phdr[i].p_memsz);
  }
  if (first >= end) return {};
  return {LoadBias + first, LoadBias + end};
}

bool ModuleHolding(uintptr_t Address, TModuleSpan& Span, const char*& Name) noexcept {
  struct TSearch {
    uintptr_t Address;
    TModuleSpan Span;
    const char* Name = nullptr;
  } search{Address, {}};
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        auto* s = static_cast<TSearch*>(data);
        const TModuleSpan span = LoadedSpan(info->dlpi_addr, info->dlpi_phdr, info->dlpi_phnum);
        if (s->Address < span.Start || s->Address >= span.End) return 0;
        s->Span = span;
        s->Name = info->dlpi_name ? info->dlpi_name : "";
        return 1;
      },
      &search);
  Span = search.Span;
  Name = search.Name;
  return Name != nullptr;
}
