#pragma once
// qorb-ide --profile: what each plug-in's load and unload cost, in load
// order, read from the module calls the platform layer reported.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "workbench/ModuleCallLog.h"

struct TPluginCost {
  std::filesystem::path File;
  using ns = std::chrono::nanoseconds;
  ns Probe{}, Load{}, InitPlugin{}, Version{}, Icon{}, Unload{};
  bool Loaded = false;  // the normal load succeeded
  bool Unloaded = false;
};

struct TLoadProfile {
  std::vector<TPluginCost> Plugins;  // in the order they were first probed
  // From the start of the IDE's shut-down to the first plug-in's unload:
  // every plug-in's Shutdown, with the host's own teardown around them.
  std::chrono::nanoseconds ShutdownPass{};
};

// Loading: the calls made while the package loaded; ShutDown: those made
// while the IDE shut down, which began at ShutDownStart. Calls in between
// (the IDE's own report) are no plug-in's cost. Folder: the plug-in folder.
TLoadProfile BuildLoadProfile(const std::vector<TModuleCallEntry>& Loading,
                              const std::vector<TModuleCallEntry>& ShutDown, const std::filesystem::path& Folder,
                              std::chrono::steady_clock::time_point ShutDownStart);

// "Load profile (ms):", a header, one row per plug-in and a totals row.
std::string FormatLoadProfile(const TLoadProfile& Profile);
