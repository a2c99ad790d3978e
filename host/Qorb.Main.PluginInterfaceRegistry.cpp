#include "host/Qorb.Main.PluginInterfaceRegistry.h"

#include <algorithm>
#include <iterator>
#include <memory>

#include "rtl/ForeignCall.h"
#include "rtl/ForeignRef.h"
#include "rtl/Method.h"

TPluginInterfaceRegistry* PluginInterfaceRegistry = nullptr;

void TPluginInterfaceRegistry::Add(IInterface* AIntf) {
  if (!AIntf) return;
  // A new array: a lookup that copied the old one keeps working on it.
  // Both arrays are let go of after the monitor, also when an AddRef fails.
  DynArray<TForeignRef> old, grown;
  TLock lock(FMonitor);
  grown.SetLength(FInterfaces.size() + 1);
  for (size_t i = 0; i < FInterfaces.size(); ++i) grown[i] = FInterfaces[i];
  grown[FInterfaces.size()] = TForeignRef(AIntf);
  // Its AddRef came back: its method table can be read.
  FHolds.push_back({AIntf, std::make_unique<qorb::rtl::TForeignHold>(
                               qorb::rtl::THeldCode{qorb::rtl::THoldKind::Registration, SlotCode(AIntf, 0), {}, {}})});
  old = std::exchange(FInterfaces, std::move(grown));
}

void TPluginInterfaceRegistry::Remove(IInterface* AIntf) {
  if (!AIntf) return;
  DynArray<TForeignRef> old, kept;
  std::vector<TEntryHold> gone;
  TLock lock(FMonitor);
  const auto itsHolds = std::stable_partition(FHolds.begin(), FHolds.end(),
                                              [AIntf](const TEntryHold& h) { return h.Intf != AIntf; });
  std::move(itsHolds, FHolds.end(), std::back_inserter(gone));
  FHolds.erase(itsHolds, FHolds.end());
  size_t n = 0;
  for (const auto& entry : FInterfaces)
    if (entry.get() != AIntf) ++n;
  if (n == FInterfaces.size()) return;
  kept.SetLength(n);
  size_t k = 0;
  for (const auto& entry : FInterfaces)
    if (entry.get() != AIntf) kept[k++] = entry;
  old = std::exchange(FInterfaces, std::move(kept));
}

void TPluginInterfaceRegistry::GetMyInterface(IInterface** Result, const GUID* IntfGuid) {
  // The lookup callback: plug-ins call it directly.
  const TOwnFrame ours;
  const GUID wanted = *IntfGuid;
  if (IInterface* old = *Result) {
    *Result = nullptr;
    ForeignRelease(old);
  }
  DynArray<TForeignRef> snapshot;
  {
    TLock lock(FMonitor);
    snapshot.SetLength(FInterfaces.size());
    for (size_t i = 0; i < FInterfaces.size(); ++i) snapshot[i] = FInterfaces[i];
  }
  // Outside the lock: a QueryInterface may itself use the registry.
  for (const auto& entry : snapshot) {
    if (!entry) continue;
    *Result = nullptr;
    IInterface* intf = entry.get();
    if (ForeignQueryInterface(intf, wanted, reinterpret_cast<void**>(Result)) == S_OK) return;
  }
  *Result = nullptr;
}

void TPluginInterfaceRegistry::ReleaseAll() {
  DynArray<TForeignRef> entries;
  std::vector<TEntryHold> holds;
  {
    TLock lock(FMonitor);
    entries = std::move(FInterfaces);
    holds = std::move(FHolds);
  }
  std::exception_ptr first;
  for (auto& entry : entries) {
    IInterface* intf = entry.Detach();
    if (!intf) continue;
    try {
      TForeignCall call{u"releasing a registered interface"};
      CallForeign(call, [&] {
        using TRelease = int32_t (*)(IInterface*);
        const auto release = reinterpret_cast<TRelease>(SlotCodeOfLiveModule(intf, 2));
        call.Code = reinterpret_cast<const void*>(release);
        release(intf);
      });
    } catch (...) {
      if (!first) first = std::current_exception();
    }
  }
  if (first) std::rethrow_exception(first);
}

TGetInterface TPluginInterfaceRegistry::Callback() {
  auto bound = BindMethod<&TPluginInterfaceRegistry::GetMyInterface>(this);
  TGetInterface callback;
  callback.Code = bound.Code;
  callback.Data = bound.Data;
  return callback;
}

void PluginInterfaceRegistryInitialization() {
  PluginInterfaceRegistry = std::make_unique<TPluginInterfaceRegistry>().release();
}

void PluginInterfaceRegistryFinalization() {
  // Cleared first: releasing the entries destroys services that may look.
  std::unique_ptr<TPluginInterfaceRegistry> registry(PluginInterfaceRegistry);
  PluginInterfaceRegistry = nullptr;
  if (registry) registry->ReleaseAll();
}
