#pragma once
// The stand-in package's entry table: the host's units, driven by a test
// from outside the library, as the wizard drives them inside the package.
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "sdk/Qorb.Plugin.Contracts.h"

struct TestHostApi {
  // Creates the registry and the plug-in list, registers the plug-in
  // information service and loads the plug-ins with the registry's callback.
  void (*Startup)();
  void (*UnloadPlugins)();
  DynArray<TLoadedPlugin> (*GetLoadedPlugins)();
  void (*GetPluginInfos)(TQorbPluginServiceInfo& Result);
  UnicodeString (*GetPluginDir)();
  // Frees the plug-in list and the registry.
  void (*Finalize)();
};

using TestHostEntry = const TestHostApi* (*)();
