#include "toolsapi/Globals.h"

ComPtr<IBorlandIDEServices> BorlandIDEServices;
ComPtr<IOTASplashScreenServices> SplashScreenServices;
ComPtr<INTAWelcomePagePluginService> WelcomePagePluginService;

namespace {
TWizardRegistrar wizardRegistrar;
}  // namespace

void RegisterPackageWizard(const ComPtr<IOTAWizard>& Wizard) {
  if (Wizard && wizardRegistrar.Assigned()) wizardRegistrar(Wizard.get());
}

void SetWizardRegistrar(TWizardRegistrar Registrar) noexcept { wizardRegistrar = Registrar; }
