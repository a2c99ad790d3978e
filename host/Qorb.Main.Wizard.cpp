#include "host/Qorb.Main.Wizard.h"

#include <vector>

#include "eventbus/Qorb.Main.EventBus.Impl.h"
#include "host/Qorb.Main.About.Contract.h"
#include "host/Qorb.Main.About.Loader.h"
#include "host/Qorb.Main.MainFunctions.h"
#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "host/Qorb.Main.PluginService.Impl.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "otahelper/Qorb.OTAHelper.UILanguage.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "presentation/Qorb.Main.WelcomePage.h"
#include "rtl/InterfaceCast.h"
#include "toolsapi/Globals.h"
#include "toolsapi/OTAServices.h"
#include "vcl/Bitmap.h"
#include "vcl/Canvas.h"
#include "vcl/Menus.h"
#include "winapi/Gdi.h"
#include "winapi/SysColors.h"

namespace {

// The welcome page's rows, built afresh from the loaded plug-ins at every
// call. Captures nothing of the wizard; the icons stay the graphics cache's.
TGetWelcomePagePlugins MakeWelcomePageProvider() {
  return MakeWelcomePagePluginsProvider([] {
    DynArray<TQorbWelcomePagePlugin> rows;
    if (!LoadedPluginList) return rows;
    const DynArray<TLoadedPlugin> plugins = LoadedPluginList->GetLoadedPlugins();
    rows.SetLength(plugins.size());
    for (size_t i = 0; i < plugins.size(); ++i) {
      rows[i].Name = plugins[i].Name;
      rows[i].Version = plugins[i].Version;
      rows[i].Graphic = plugins[i].Graphic;
    }
    return rows;
  });
}

}  // namespace

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
  // Held until start-up ends; then the welcome page keeps its own reference.
  const TGetWelcomePagePlugins welcomePageProvider = MakeWelcomePageProvider();

  // Before the first caption is looked up.
  InitLocLanguage();

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
  FAboutMenuItem->SetCaption(Loc(u"Menu.About", u"About Qorb..."));
  FAboutMenuItem->OnClick = BindMethod<&TQorbMainWizard::AboutMenuClick>(this);
  FRootMenu->Add(FAboutMenuItem);

  // The IDE's services object first: an identifier it supports is always
  // answered by it.
  PluginInterfaceRegistry->Add(BorlandIDEServices.get());
  // Plug-ins' menu items go above the separator.
  ComPtr<TQorbMainFunctions> mainFunctions = Make<TQorbMainFunctions>(FRootMenu, FSeparatorItem);
  PluginInterfaceRegistry->Add(mainFunctions->AsIInterface());
  ComPtr<TQorbEventBus> eventBus = Make<TQorbEventBus>();
  PluginInterfaceRegistry->Add(eventBus->AsIInterface());
  ComPtr<TQorbPluginService> pluginService = Make<TQorbPluginService>();
  PluginInterfaceRegistry->Add(pluginService->AsIInterface());

  LoadedPluginList->LoadPlugins(PluginInterfaceRegistry->Callback());

  RegisterQorbWelcomePage(welcomePageProvider);
}

void TQorbMainWizard::ShutDown() noexcept {
  try {
    UnregisterQorbWelcomePage();
  } catch (...) {
    // The IDE would not let go of the page; the rest of the shut-down runs.
  }
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

void TQorbMainWizard::AboutMenuClick(TObject*) {
  HWND parentWnd = nullptr;
  ComPtr<IOTAServices> services;
  if (Supports(BorlandIDEServices, services)) parentWnd = services->GetParentHandle();

  const TQorbVersionInfo vi = GetQorbVersionInfo(UnicodeStringRef());
  TQorbAboutInfo info{};
  info.StructSize = sizeof(TQorbAboutInfo);
  info.ProductName = u"Qorb Tool-Suite for Delphi";
  info.Version = vi.Version.c_str();
  info.Company = vi.Company.c_str();
  info.Copyright = vi.Copyright.c_str();
  info.Website = u"https://tessary-systems.example/qorb";
  info.LanguageTag = DetectUILanguage() == llGerman ? u"de" : u"en";

  // Host-owned copies that outlive the call; the handles go first.
  const DynArray<TLoadedPlugin> plugins = LoadedPluginList->GetLoadedPlugins();
  std::vector<UnicodeString> names, versions, webURLs;
  std::vector<TQorbPluginInfo> pluginInfos;
  std::vector<unique_hbitmap> images;
  for (auto* v : {&names, &versions, &webURLs}) v->reserve(plugins.size());
  pluginInfos.reserve(plugins.size());
  images.reserve(plugins.size());
  for (const TLoadedPlugin& plugin : plugins) {
    names.push_back(plugin.Name);
    versions.push_back(plugin.Version);
    webURLs.push_back(plugin.Company);
    unique_hbitmap image;
    if (plugin.Graphic) {
      TBitmap bitmap;
      bitmap.SetPixelFormat(pf32bit);
      bitmap.SetSize(plugin.Graphic->Width(), plugin.Graphic->Height());
      {
        TCanvas canvas(bitmap);
        canvas.Brush()->SetColor(static_cast<TColor>(GetSysColor(COLOR_WINDOW)));
        canvas.FillRect(Rect(0, 0, bitmap.Width(), bitmap.Height()));
        canvas.Draw(0, 0, *plugin.Graphic);
      }
      image.reset(bitmap.ReleaseHandle());
    }
    pluginInfos.push_back({names.back().c_str(), versions.back().c_str(), webURLs.back().c_str(), image.get()});
    images.push_back(std::move(image));
  }
  info.PluginCount = static_cast<int32_t>(pluginInfos.size());
  info.Plugins = pluginInfos.empty() ? nullptr : pluginInfos.data();

  ShowQorbAboutDialog(parentWnd, info);
}
