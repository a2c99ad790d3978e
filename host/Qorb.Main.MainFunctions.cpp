#include "host/Qorb.Main.MainFunctions.h"

#include <memory>

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "logging/Qorb.Main.Logging.h"
#include "rtl/ForeignCall.h"
#include "vcl/Menus.h"

TMenuItem* TQorbMainFunctions::AddMenuItem(UnicodeStringRef ACaption) {
  const TOwnFrame ours;
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
  const TOwnFrame ours;
  if (PluginInterfaceRegistry) PluginInterfaceRegistry->Add(AIntf);
}

void TQorbMainFunctions::UnregisterInterface(IInterface* AIntf) {
  const TOwnFrame ours;
  if (PluginInterfaceRegistry) PluginInterfaceRegistry->Remove(AIntf);
}

void TQorbMainFunctions::LogDebug(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  const TOwnFrame ours;
  ::LogDebug(ASource, AMessage);
}
void TQorbMainFunctions::LogInfo(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  const TOwnFrame ours;
  ::LogInfo(ASource, AMessage);
}
void TQorbMainFunctions::LogWarning(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  const TOwnFrame ours;
  ::LogWarning(ASource, AMessage);
}
void TQorbMainFunctions::LogError(UnicodeStringRef ASource, UnicodeStringRef AMessage) {
  const TOwnFrame ours;
  ::LogError(ASource, AMessage);
}
