#include "workbench/LoadProfile.h"

#include <algorithm>
#include <cstdio>

namespace fs = std::filesystem;
using qorb::winapi::ModuleCall;

namespace {

bool InFolder(const std::string& path, const fs::path& folder) {
  return fs::path(path).parent_path().lexically_normal() == folder;
}

std::string Ms(std::chrono::nanoseconds d) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", static_cast<double>(d.count()) / 1e6);
  return text;
}

}  // namespace

TLoadProfile BuildLoadProfile(const std::vector<TModuleCallEntry>& Loading,
                              const std::vector<TModuleCallEntry>& ShutDown, const fs::path& Folder,
                              std::chrono::steady_clock::time_point ShutDownStart) {
  std::vector<TModuleCallEntry> entries = Loading;
  entries.insert(entries.end(), ShutDown.begin(), ShutDown.end());
  TLoadProfile profile;
  const fs::path folder = (Folder / "").lexically_normal().parent_path();
  auto costOf = [&](const std::string& path) -> TPluginCost& {
    for (TPluginCost& c : profile.Plugins)
      if (c.File == path) return c;
    profile.Plugins.push_back(TPluginCost{path});
    return profile.Plugins.back();
  };
  std::chrono::steady_clock::time_point firstUnload{};
  for (size_t i = 0; i < entries.size(); ++i) {
    const TModuleCallEntry& e = entries[i];
    if (e.Path.empty() || !InFolder(e.Path, folder)) continue;
    TPluginCost& c = costOf(e.Path);
    switch (e.Call) {
      case ModuleCall::Probe: c.Probe += e.Elapsed; break;
      case ModuleCall::Load: {
        c.Load += e.Elapsed;
        if (!e.Succeeded) break;
        c.Loaded = true;
        // InitPlugin (and the two export look-ups) runs from the end of the
        // load to the host's next call about the same file: its version
        // read when InitPlugin returned, the unload when it raised.
        const auto end = e.Start + e.Elapsed;
        for (size_t j = i + 1; j < entries.size(); ++j) {
          const TModuleCallEntry& n = entries[j];
          if (n.Path != e.Path || n.Call == ModuleCall::Probe) continue;
          if (n.Start >= end) c.InitPlugin += std::chrono::duration_cast<std::chrono::nanoseconds>(n.Start - end);
          break;
        }
        break;
      }
      case ModuleCall::VersionSize:
      case ModuleCall::VersionRead: c.Version += e.Elapsed; break;
      case ModuleCall::FindResource: c.Icon += e.Elapsed; break;
      case ModuleCall::LoadResource: {
        // The icon is decoded after its resource is loaded, until the host
        // turns to the next file.
        c.Icon += e.Elapsed;
        const auto end = e.Start + e.Elapsed;
        if (i + 1 < Loading.size() && entries[i + 1].Start > end)
          c.Icon += std::chrono::duration_cast<std::chrono::nanoseconds>(entries[i + 1].Start - end);
        break;
      }
      case ModuleCall::Free:
        if (!(e.Module & 1) && e.Start >= ShutDownStart) {
          c.Unload += e.Elapsed;
          c.Unloaded = c.Unloaded || e.Unloaded;
          if (firstUnload == std::chrono::steady_clock::time_point{}) firstUnload = e.Start;
        }
        break;
    }
  }
  // Files that never got past the probe are no plug-ins of this run.
  std::erase_if(profile.Plugins, [](const TPluginCost& c) { return !c.Loaded; });
  if (firstUnload > ShutDownStart)
    profile.ShutdownPass = std::chrono::duration_cast<std::chrono::nanoseconds>(firstUnload - ShutDownStart);
  return profile;
}

std::string FormatLoadProfile(const TLoadProfile& p) {
  std::string out = "Load profile (ms):\n";
  char line[512];
  const char* const header = "  %-28s %9s %9s %10s %9s %9s %9s %9s\n";
  std::snprintf(line, sizeof line, header, "plug-in", "probe", "load", "InitPlugin", "version", "icon", "unload",
                "total");
  out += line;
  TPluginCost sum;
  for (const TPluginCost& c : p.Plugins) {
    const auto total = c.Probe + c.Load + c.InitPlugin + c.Version + c.Icon + c.Unload;
    std::snprintf(line, sizeof line, header, c.File.filename().string().c_str(), Ms(c.Probe).c_str(),
                  Ms(c.Load).c_str(), Ms(c.InitPlugin).c_str(), Ms(c.Version).c_str(), Ms(c.Icon).c_str(),
                  Ms(c.Unload).c_str(), Ms(total).c_str());
    out += line;
    sum.Probe += c.Probe;
    sum.Load += c.Load;
    sum.InitPlugin += c.InitPlugin;
    sum.Version += c.Version;
    sum.Icon += c.Icon;
    sum.Unload += c.Unload;
  }
  const auto total = sum.Probe + sum.Load + sum.InitPlugin + sum.Version + sum.Icon + sum.Unload;
  std::snprintf(line, sizeof line, header, "total", Ms(sum.Probe).c_str(), Ms(sum.Load).c_str(),
                Ms(sum.InitPlugin).c_str(), Ms(sum.Version).c_str(), Ms(sum.Icon).c_str(), Ms(sum.Unload).c_str(),
                Ms(total).c_str());
  out += line;
  out += "  Shutdown, all plug-ins together with the host's teardown before the first unload: " +
         Ms(p.ShutdownPass) + "\n";
  return out;
}
