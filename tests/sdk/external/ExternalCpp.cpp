// Adds a menu item that logs when clicked.
#include <memory>

#include "sdk/Qorb.Plugin.Contracts.h"
#include "vcl/Menus.h"

namespace {

ComPtr<IQorbMainFunctions> mainFunctions;

void Clicked(void*, TObject*) { mainFunctions->LogInfo(UnicodeString(u"External"), UnicodeString(u"clicked")); }

}  // namespace

extern "C" QORB_PLUGIN_EXPORT void InitPlugin(const TGetInterface* GetInterface) {
  mainFunctions = GetInterface->Get<IQorbMainFunctions>();
  if (TMenuItem* item = mainFunctions->AddMenuItem(UnicodeString(u"External Item")))
    item->OnClick = TNotifyEvent{&Clicked, nullptr};
}

extern "C" QORB_PLUGIN_EXPORT void Shutdown() { mainFunctions = nullptr; }
