#include "host/Qorb.Main.Wizard.h"

#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "host/Qorb.Main.PluginService.Impl.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "rtl/InterfaceCast.h"
#include "toolsapi/Globals.h"
#include "vcl/Menus.h"

TQorbMainWizard::TQorbMainWizard() {
  try {
    StartUp();
  } catch (...) {
    ShutDown();
    throw;
  }
}

TQorbMainWizard::~TQorbMainWizard() { ShutDown(); }

void TQorbMainWizard::StartUp() {
  FNTAServices = InterfaceCast<INTAServices>(BorlandIDEServices);

  // Just before the IDE's Help menu, or before the last top-level item.
  TMenuItem* topLevel = FNTAServices->GetMainMenu()->Items();
  int position = topLevel->Count() - 1;
  for (int i = 0; i < topLevel->Count(); ++i) {
    if (SameText(topLevel->Items(i)->Name(), u"HelpMenu")) {
      position = i;
      break;
    }
  }
  FRootMenu = new TMenuItem(nullptr);
  FRootMenu->SetCaption(UnicodeString(u"Qorb"));
  topLevel->Insert(position, FRootMenu);

  FSeparatorItem = new TMenuItem(FRootMenu);
  FSeparatorItem->SetCaption(UnicodeString(u"-"));
  FRootMenu->Add(FSeparatorItem);

  FAboutMenuItem = new TMenuItem(FRootMenu);
  FAboutMenuItem->SetCaption(UnicodeString(u"About Qorb..."));
  FAboutMenuItem->OnClick = BindMethod<&TQorbMainWizard::AboutMenuClick>(this);
  FRootMenu->Add(FAboutMenuItem);

  // The IDE's services object first: an identifier it supports is always
  // answered by it.
  PluginInterfaceRegistry->Add(BorlandIDEServices.get());
  ComPtr<TQorbPluginService> pluginService = Make<TQorbPluginService>();
  PluginInterfaceRegistry->Add(pluginService->AsIInterface());

  LoadedPluginList->LoadPlugins(PluginInterfaceRegistry->Callback());
}

void TQorbMainWizard::ShutDown() noexcept {
  if (LoadedPluginList) LoadedPluginList->UnloadPlugins();
  // The root frees the plug-ins' items it still owns and leaves the menu.
  FreeAndNil(FAboutMenuItem);
  FreeAndNil(FSeparatorItem);
  FreeAndNil(FRootMenu);
  FNTAServices.reset();
}

void TQorbMainWizard::GetIDString(UnicodeString& Result) { Result = UnicodeString(u"TessarySystems.Main.Plugin"); }

void TQorbMainWizard::GetName(UnicodeString& Result) { Result = UnicodeString(u"Qorb Main Plugin"); }

TWizardState TQorbMainWizard::GetState() { return TWizardState{wsEnabled}; }

void TQorbMainWizard::Execute() {}

void TQorbMainWizard::AboutMenuClick(TObject*) {}
