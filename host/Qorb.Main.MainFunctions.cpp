#include "host/Qorb.Main.MainFunctions.h"

#include <memory>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "logging/Qorb.Main.Logging.h"
#include "vcl/Menus.h"

TMenuItem* TQorbMainFunctions::AddMenuItem(UnicodeStringRef ACaption) {
  TMenuItem* const root = FRootMenu.get();
  if (!root) return nullptr;
  // Owned by the root menu as component, so it goes with the suite's menu.
  auto item = std::make_unique<TMenuItem>(root);
  item->SetCaption(UnicodeString(ACaption));
  TMenuItem* const insertBefore = FInsertBefore.get();
  const int position = insertBefore ? root->IndexOf(insertBefore) : -1;
  if (position >= 0)
    root->Insert(position, item.get());
  else
    root->Add(item.get());
  return item.release();
}

void TQorbMainFunctions::RegisterInterface(IInterface* AIntf) {
  if (PluginInterfaceRegistry) PluginInterfaceRegistry->Add(AIntf);
}

void TQorbMainFunctions::UnregisterInterface(IInterface* AIntf) {
  if (PluginInterfaceRegistry) PluginInterfaceRegistry->Remove(AIntf);
}

void TQorbMainFunctions::LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  ::LogDebug(ASource, AMessage);
}
void TQorbMainFunctions::LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  ::LogInfo(ASource, AMessage);
}
void TQorbMainFunctions::LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  ::LogWarning(ASource, AMessage);
}
void TQorbMainFunctions::LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  ::LogError(ASource, AMessage);
}
