#pragma once
// The one place where the host and the plug-ins look up each other's
// services by interface identifier: an ordered list of interface
// references, asked in registration order.
#include <memory>
#include <vector>

#include "rtl/CriticalSection.h"
#include "rtl/DynArray.h"
#include "rtl/ForeignHolds.h"
#include "rtl/ForeignRef.h"
#include "rtl/Object.h"
#include "sdk/Qorb.Plugin.Contracts.h"

class TPluginInterfaceRegistry : public TObject {
 public:
  void Add(IInterface* AIntf);
  // Removes every entry that is this very reference.
  void Remove(IInterface* AIntf);
  // The shape of TGetInterface: the first registered supporter wins.
  void GetMyInterface(IInterface** Result, const GUID* IntfGuid);
  // Releases every entry, in array order, each through the foreign-call
  // boundary: an entry left by an unloaded plug-in must not keep the others.
  // The first error goes on to the caller once all are released.
  void ReleaseAll();

  // The callback handed to plug-ins: (GetMyInterface, this).
  TGetInterface Callback();

 private:
  // Their AddRef and Release are foreign code: a fault in one is contained
  // there and unwinds through our frames, the monitor's guard included.
  DynArray<TForeignRef> FInterfaces;
  // A hold on each entry's code, for whoever names what an unloaded
  // plug-in left registered. Under the monitor.
  struct TEntryHold {
    IInterface* Intf;
    std::unique_ptr<qorb::rtl::TForeignHold> Hold;
  };
  std::vector<TEntryHold> FHolds;
  TCriticalSection FMonitor;
};

extern TPluginInterfaceRegistry* PluginInterfaceRegistry;

void PluginInterfaceRegistryInitialization();
void PluginInterfaceRegistryFinalization();
