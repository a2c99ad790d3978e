#include "host/Qorb.Main.PluginService.Impl.h"

#include "host/HostModule.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "rtl/ForeignCall.h"

void TQorbPluginService::GetPluginInfos(TQorbPluginServiceInfo& Result) {
  const TOwnFrame ours;
  Result.Host = TQorbModuleInfo{};
  Result.Plugins.Clear();

  AssignModuleTexts(Result.Host, GetQorbVersionInfo(UnicodeString()));
  Result.Host.FilePath = HostModuleFileName();

  if (!LoadedPluginList) return;
  const DynArray<TLoadedPlugin> plugins = LoadedPluginList->GetLoadedPlugins();
  Result.Plugins.SetLength(plugins.size());
  for (size_t i = 0; i < plugins.size(); ++i) {
    AssignModuleTexts(Result.Plugins[i], plugins[i]);
    Result.Plugins[i].FilePath = plugins[i].FilePath;
  }
}
