#include "winapi/ModuleCallObserver.h"
#include "winapi/ModuleTable.h"

namespace qorb::winapi {

bool IsModuleMappedAt(HMODULE Base) noexcept {
  HMODULE base = 0;
  const void* linkMap = nullptr;
  return DlModuleAt(reinterpret_cast<const void*>(Base), base, linkMap) && base == Base;
}

}  // namespace qorb::winapi
