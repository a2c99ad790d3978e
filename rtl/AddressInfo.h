#pragma once
// What the loader knows of an address, asked the platform's way.
#include <string>

#include "rtl/ExternalExceptions.h"

// Full path of the mapped module that holds Address; empty when none does.
std::string ModulePathOf(const void* Address);

// The fault reading Address (by an instruction at Pc) would raise, where
// nothing is mapped.
TFaultRecord UnmappedAccess(uintptr_t Pc, uintptr_t Address) noexcept;
