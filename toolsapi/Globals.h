#pragma once
// The IDE's global service variables and registration entry points. The IDE
// sets them before it loads a package and clears them after unloading it;
// outside that span they are null.
#include "rtl/ComPtr.h"
#include "rtl/Method.h"
#include "toolsapi/BorlandIDEServices.h"
#include "toolsapi/Export.h"
#include "toolsapi/SplashScreenServices.h"
#include "toolsapi/WelcomePage.h"
#include "toolsapi/Wizard.h"

QORB_TOOLSAPI extern ComPtr<IBorlandIDEServices> BorlandIDEServices;
// Null when the IDE shows no splash screen.
QORB_TOOLSAPI extern ComPtr<IOTASplashScreenServices> SplashScreenServices;
// Null when the IDE has no welcome page.
QORB_TOOLSAPI extern ComPtr<INTAWelcomePagePluginService> WelcomePagePluginService;

// Hands a wizard to the IDE, which keeps it until the package is unloaded.
// Without an IDE (no registrar installed) nothing keeps it.
QORB_TOOLSAPI void RegisterPackageWizard(const ComPtr<IOTAWizard>& Wizard);

// IDE side: where RegisterPackageWizard delivers. The registrar takes its
// own reference. An empty method uninstalls it.
using TWizardRegistrar = TMethodOf<void(IOTAWizard* Wizard)>;
QORB_TOOLSAPI void SetWizardRegistrar(TWizardRegistrar Registrar) noexcept;
