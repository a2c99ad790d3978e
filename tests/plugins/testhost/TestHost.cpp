#include "TestHostApi.h"

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "host/Qorb.Main.PluginService.Impl.h"

namespace {

void Startup() {
  PluginInterfaceRegistryInitialization();
  LoadedPluginListInitialization();
  PluginInterfaceRegistry->Add(Make<TQorbPluginService>()->AsIInterface());
  LoadedPluginList->LoadPlugins(PluginInterfaceRegistry->Callback());
}

void Finalize() {
  LoadedPluginListFinalization();
  PluginInterfaceRegistryFinalization();
}

void GetPluginInfos(TQorbPluginServiceInfo& Result) {
  ComPtr<IQorbPluginService> service = PluginInterfaceRegistry->Callback().Get<IQorbPluginService>();
  service->GetPluginInfos(Result);
}

const TestHostApi kApi = {
    &Startup,
    [] { LoadedPluginList->UnloadPlugins(); },
    [] { return LoadedPluginList->GetLoadedPlugins(); },
    &GetPluginInfos,
    [] { return LoadedPluginList->GetPluginDir(); },
    &Finalize,
};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TestHostApi* QorbTestHost() { return &kApi; }
