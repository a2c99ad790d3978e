#pragma once
// The general-purpose service plug-ins look up: items in the suite's menu,
// their own interfaces in the registry, and log lines. A thin layer over the
// menu, the registry and the logger.
#include "host/WeakMenuItem.h"
#include "rtl/InterfacedObject.h"
#include "sdk/Qorb.Plugin.Contracts.h"

class TMenuItem;

class TQorbMainFunctions : public TInterfacedObjectOf<IQorbMainFunctions> {
 public:
  // Neither item is owned; AInsertBefore may be null or foreign, and new
  // items then go to the end of ARootMenu. Main thread.
  TQorbMainFunctions(TMenuItem* ARootMenu, TMenuItem* AInsertBefore)
      : FRootMenu(ARootMenu), FInsertBefore(AInsertBefore) {}

  // A new item owned by the root menu, placed directly above FInsertBefore;
  // null without a root menu, also once the wizard has freed it. Main thread.
  TMenuItem* AddMenuItem(UnicodeStringRef ACaption) override;
  void RegisterInterface(IInterface* AIntf) override;
  void UnregisterInterface(IInterface* AIntf) override;
  void LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage) override;
  void LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage) override;
  void LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage) override;
  void LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage) override;

 private:
  // The service outlives the wizard that frees these items.
  const TWeakMenuItem FRootMenu;
  const TWeakMenuItem FInsertBefore;
};
