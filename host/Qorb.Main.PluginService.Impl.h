#pragma once
// Tells plug-ins which modules make up the running suite.
#include "rtl/InterfacedObject.h"
#include "sdk/Qorb.Plugin.Contracts.h"

class TQorbPluginService : public TInterfacedObjectOf<IQorbPluginService> {
 public:
  void GetPluginInfos(TQorbPluginServiceInfo& Result) override;
};
