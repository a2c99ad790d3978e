#include "host/Qorb.Main.RegisterUnits.h"

#include "host/Qorb.Main.Wizard.h"
#include "presentation/Qorb.Main.Branding.h"
#include "rtl/InterfacedObject.h"
#include "toolsapi/Globals.h"

void Register() { RegisterPackageWizard(Make<TQorbMainWizard>()); }

void RegisterUnitsInitialization() { RegisterBranding(); }

void RegisterUnitsFinalization() { UnregisterBranding(); }
