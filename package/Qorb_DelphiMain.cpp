// The package: its units' initialisation in dependency order, their
// finalisation in reverse, and the registration entry the IDE calls.
#include <array>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "host/Qorb.Main.RegisterUnits.h"
#include "logging/Qorb.Main.Logging.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "toolsapi/PackageEntry.h"

namespace {

struct TUnit {
  const char16_t* Name;
  void (*Initialization)();
  void (*Finalization)();
};

const std::array<TUnit, 5> kUnits = {{
    {u"Qorb.Main.PluginInterfaceRegistry", &PluginInterfaceRegistryInitialization,
     &PluginInterfaceRegistryFinalization},
    {u"Qorb.Main.LoadedPluginList", &LoadedPluginListInitialization, &LoadedPluginListFinalization},
    {u"Qorb.Main.Logging", &LoggingInitialization, &LoggingFinalization},
    // Nothing at initialisation; releases the welcome page's rows provider.
    {u"Qorb.Main.WelcomePage.View", [] {}, &WelcomePageViewFinalization},
    {u"Qorb.Main.RegisterUnits", &RegisterUnitsInitialization, &RegisterUnitsFinalization},
}};

// How many units have been initialised; finalisation undoes exactly those.
size_t initialized = 0;

}  // namespace

QORB_PACKAGE_ENTRY bool Initialize(TPackageEntryError* Error) {
  for (; initialized < kUnits.size(); ++initialized) {
    const TUnit& unit = kUnits[initialized];
    if (!RunPackageEntry(Error, unit.Name, unit.Initialization)) return false;
  }
  return true;
}

QORB_PACKAGE_ENTRY bool Register(TPackageEntryError* Error) {
  return RunPackageEntry(Error, u"Qorb.Main.RegisterUnits", [] { Register(); });
}

QORB_PACKAGE_ENTRY bool Finalize(TPackageEntryError* Error) {
  bool ok = true;
  while (initialized > 0) {
    const TUnit& unit = kUnits[--initialized];
    ok = RunPackageEntry(ok ? Error : nullptr, unit.Name, unit.Finalization) && ok;
  }
  return ok;
}
