#include "host/Qorb.Main.RegisterUnits.h"

#include "host/Qorb.Main.Wizard.h"
#include "rtl/InterfacedObject.h"
#include "toolsapi/Globals.h"

void Register() { RegisterPackageWizard(Make<TQorbMainWizard>()); }

void RegisterUnitsInitialization() {}

void RegisterUnitsFinalization() {}
