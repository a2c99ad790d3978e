#include "workbench/PluginFolderLink.h"

namespace fs = std::filesystem;

std::string TPluginFolderLink::CheckArguments(const fs::path& Package, const fs::path& Plugins) {
  std::error_code ec;
  if (!fs::is_directory(fs::absolute(Plugins, ec), ec)) return "no plug-in folder " + Plugins.string();
  if (!fs::is_regular_file(fs::absolute(Package, ec), ec)) return "no package " + Package.string();
  return {};
}
