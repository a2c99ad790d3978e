#include "workbench/PluginFolderLink.h"

namespace fs = std::filesystem;

TPluginFolderLink::TArguments TPluginFolderLink::CheckArguments(const fs::path& Package, const fs::path& Plugins) {
  std::error_code ec;
  TArguments a{fs::absolute(Package, ec), fs::absolute(Plugins, ec), {}};
  if (!fs::is_directory(a.Plugins, ec))
    a.Error = "no plug-in folder " + Plugins.string();
  else if (!fs::is_regular_file(a.Package, ec))
    a.Error = "no package " + Package.string();
  return a;
}
