#include "host/Qorb.Main.PluginService.Impl.h"

#include "host/HostModule.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "plugins/Qorb.Main.VersionInfo.h"

void TQorbPluginService::GetPluginInfos(TQorbPluginServiceInfo& Result) {
  Result.Host = TQorbModuleInfo{};
  Result.Plugins.Clear();

  const TQorbVersionInfo info = GetQorbVersionInfo(UnicodeString());
  Result.Host.Name = info.ProductName;
  Result.Host.Version = info.Version;
  Result.Host.Company = info.Company;
  Result.Host.Copyright = info.Copyright;
  Result.Host.Description = info.Description;
  Result.Host.Comments = info.Comments;
  Result.Host.FilePath = HostModuleFileName();

  if (!LoadedPluginList) return;
  const DynArray<TLoadedPlugin> plugins = LoadedPluginList->GetLoadedPlugins();
  Result.Plugins.SetLength(plugins.size());
  for (size_t i = 0; i < plugins.size(); ++i) {
    const TLoadedPlugin& p = plugins[i];
    TQorbModuleInfo& m = Result.Plugins[i];
    m.Name = p.Name;
    m.Version = p.Version;
    m.Company = p.Company;
    m.Copyright = p.Copyright;
    m.Description = p.Description;
    m.Comments = p.Comments;
    m.FilePath = p.FilePath;
  }
}
