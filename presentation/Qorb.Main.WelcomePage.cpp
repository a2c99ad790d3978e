#include "presentation/Qorb.Main.WelcomePage.h"

#include "presentation/Qorb.Main.WelcomePage.Caption.h"
#include "rtl/ScopeExit.h"
#include "toolsapi/Globals.h"
#include "toolsapi/ObjectInterfaces.h"

namespace {
constexpr char16_t kPluginID[] = u"TessarySystems.WelcomePage.Main";
constexpr char16_t kPluginName[] = u"QORB Delphi Tools";
}  // namespace

TQorbWelcomePagePluginCreator::~TQorbWelcomePagePluginCreator() = default;

void TQorbWelcomePagePluginCreator::GetPluginID(UnicodeString& Result) { Result = kPluginID; }

void TQorbWelcomePagePluginCreator::GetPluginName(UnicodeString& Result) { Result = kPluginName; }

TFrame* TQorbWelcomePagePluginCreator::CreateView() {
  if (FView) return FView.get();
  if (!WelcomePagePluginService) return nullptr;
  FView.reset(WelcomePagePluginService->CreateViewFrame(UnicodeString(kPluginID), UnicodeString(kPluginName), nullptr));
  ComPtr<INTAWelcomePageCaptionFrame> slots;
  if (FView && SupportsObject(FView.get(), slots)) {
    // Owned by the view, which frees them with itself.
    slots->SetCaptionFrame(new TQorbWelcomePageCaptionFrame(FView.get()));
    // Creating the list asks the provider for its rows.
    slots->SetContentFrame(new TQorbWelcomePageFrame(FView.get()));
  }
  return FView.get();
}

void RegisterQorbWelcomePage(const TGetWelcomePagePlugins& Provider) {
  SetWelcomePagePluginsProvider(Provider);
  if (!WelcomePagePluginService) return;
  // The IDE holds the only reference from here on.
  const ComPtr<TQorbWelcomePagePluginCreator> creator = Make<TQorbWelcomePagePluginCreator>();
  WelcomePagePluginService->RegisterPlugin(static_cast<INTAWelcomePageContentPluginCreator*>(creator.get()));
}

void UnregisterQorbWelcomePage() {
  // The slot is emptied also when the IDE raises.
  const TScopeExit clearProvider([] { SetWelcomePagePluginsProvider(nullptr); });
  if (WelcomePagePluginService) WelcomePagePluginService->UnRegisterPlugin(UnicodeString(kPluginID));
}
