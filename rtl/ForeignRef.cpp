#include "rtl/ForeignRef.h"

#include "rtl/ForeignCall.h"

namespace {
using TQueryFn = HRESULT (*)(void* self, const GUID* iid, void** obj);
using TCountFn = int32_t (*)(void* self);
}  // namespace

HRESULT ForeignQueryInterface(IInterface* Intf, const GUID& Iid, void** Obj) {
  const auto query = reinterpret_cast<TQueryFn>(SlotCode(Intf, 0));
  return CallForeign({u"QueryInterface", reinterpret_cast<const void*>(query)}, [&] { return query(Intf, &Iid, Obj); });
}

int32_t ForeignAddRef(IInterface* Intf) {
  const auto addRef = reinterpret_cast<TCountFn>(SlotCode(Intf, 1));
  return CallForeign({u"AddRef", reinterpret_cast<const void*>(addRef)}, [&] { return addRef(Intf); });
}

int32_t ForeignRelease(IInterface* Intf) {
  const auto release = reinterpret_cast<TCountFn>(SlotCode(Intf, 2));
  return CallForeign({u"Release", reinterpret_cast<const void*>(release)}, [&] { return release(Intf); });
}

void ForeignReleaseNoted(IInterface* Intf) noexcept {
  try {
    ForeignRelease(Intf);
  } catch (...) {
    // Observers heard of it at the boundary; a reference is let go of once.
  }
}
