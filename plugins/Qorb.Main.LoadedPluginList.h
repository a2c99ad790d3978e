#pragma once
// The plug-in libraries found in Plugins/ beside the package: probed,
// loaded, initialised with the lookup callback, described, and at shut-down
// shut down and unloaded, both in reverse load order.
#include <cstdint>
#include <memory>
#include <vector>

#include "plugins/Qorb.Main.PluginGraphics.h"
#include "rtl/CriticalSection.h"
#include "rtl/DynArray.h"
#include "rtl/Object.h"
#include "rtl/UnicodeString.h"
#include "sdk/Qorb.Plugin.Contracts.h"
#include "vcl/Bitmap.h"

struct TLoadedPlugin {
  uint64_t Module = 0;
  TShutdown ShutdownProc = nullptr;
  UnicodeString Name;
  UnicodeString Version;
  UnicodeString Company;
  UnicodeString Copyright;
  UnicodeString Description;
  UnicodeString Comments;
  UnicodeString FilePath;
  // Borrowed from the graphics cache; never freed through the record.
  TBitmap* Graphic = nullptr;
};

class TLoadedPluginList : public TObject {
 public:
  TLoadedPluginList();
  ~TLoadedPluginList() override;

  // The plug-in folder, ending in a path delimiter.
  UnicodeString GetPluginDir();
  void LoadPlugins(const TGetInterface& AGetInterface);
  void UnloadPlugins();
  // A snapshot in load order; strings are the caller's own copies.
  DynArray<TLoadedPlugin> GetLoadedPlugins();

 private:
  void LoadOne(const UnicodeString& Path, const TGetInterface& AGetInterface);

  std::vector<TLoadedPlugin> FItems;
  std::unique_ptr<TCriticalSection> FPluginLock;
  std::unique_ptr<TQorbPluginGraphics> FGraphics;
};

extern TLoadedPluginList* LoadedPluginList;

void LoadedPluginListInitialization();
void LoadedPluginListFinalization();
