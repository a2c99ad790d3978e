#pragma once
// The libraries mapped into the process from one folder, in load order, as
// a modules window shows them: what a package loaded from its Plugins/.
#include <filesystem>
#include <string>
#include <vector>

struct TLoadedModule {
  std::filesystem::path Path;
  // From the module's version resource; empty when it has none.
  std::u16string ProductName;
  std::u16string Version;
  std::u16string Company;
};

std::vector<TLoadedModule> LoadedModulesIn(const std::filesystem::path& Folder);

// "Plug-ins:" and one line per module; empty when there is none.
std::string FormatLoadedModules(const std::vector<TLoadedModule>& Modules);
