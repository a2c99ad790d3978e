#include "winapi/ModuleCallObserver.h"
#include "winapi/windows/Win32.h"

namespace qorb::winapi {

bool IsModuleMappedAt(HMODULE Base) noexcept {
  return Base && qorb::win32::ModuleHolding(reinterpret_cast<const void*>(Base)) == Base;
}

}  // namespace qorb::winapi
