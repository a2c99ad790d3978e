// The wizard's start-up and shut-down against the simulated IDE, with the
// package's units initialised as the package does it.
#include <gtest/gtest.h>

#include "eventbus/Qorb.Plugin.EventBus.h"
#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "host/Qorb.Main.Wizard.h"
#include "ide/IDE.h"
#include "workbench/MenuTree.h"
#include "logging/Qorb.Main.Logging.h"
#include "plugins/Qorb.Main.LoadedPluginList.h"
#include "rtl/Exception.h"
#include "toolsapi/Globals.h"
#include "vcl/Menus.h"

namespace {

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BorlandIDEServices = ide.ServicesObject();
    PluginInterfaceRegistryInitialization();
    LoadedPluginListInitialization();
    LoggingInitialization();
  }
  void TearDown() override {
    LoggingFinalization();
    LoadedPluginListFinalization();
    PluginInterfaceRegistryFinalization();
    BorlandIDEServices.reset();
    EXPECT_TRUE(ide.Shutdown().empty());
  }

  std::string Menu() { return FormatMenuTree(ide.MainMenu()); }
  TMenuItem* TopLevel() { return ide.MainMenu().Items(); }
  template <class I>
  bool Resolves() {
    return static_cast<bool>(PluginInterfaceRegistry->Callback().Get<I>());
  }

  TIDE ide;
};

}  // namespace

TEST_F(WizardTest, TheMenuGoesBeforeHelpInAnyCaseAndServicesOutliveTheWizard) {
  TMenuItem* help = TopLevel()->Items(TopLevel()->Count() - 1);
  help->SetName(UnicodeString(u"helpmenu"));
  const std::string before = Menu();
  {
    ComPtr<TQorbMainWizard> wizard = Make<TQorbMainWizard>();
    EXPECT_EQ(Menu(), before.substr(0, before.rfind("Help\n")) + "Qorb\n  -\n  About Qorb...\nHelp\n");
    UnicodeString id;
    wizard->GetIDString(id);
    EXPECT_EQ(id, u"TessarySystems.Main.Plugin");
    EXPECT_EQ(wizard->GetState(), TWizardState{wsEnabled});
  }
  // Gone from the menu; the services stay until the units are finalised.
  EXPECT_EQ(Menu(), before);
  EXPECT_TRUE(Resolves<INTAServices>());
  EXPECT_TRUE(Resolves<IQorbMainFunctions>());
  EXPECT_TRUE(Resolves<IQorbEventBus>());
  EXPECT_TRUE(Resolves<IQorbPluginService>());
  // The suite's menu is gone: a late item is refused, not put into freed items.
  ComPtr<IQorbMainFunctions> mainFunctions = PluginInterfaceRegistry->Callback().Get<IQorbMainFunctions>();
  EXPECT_EQ(mainFunctions->AddMenuItem(UnicodeString(u"Late")), nullptr);
  EXPECT_EQ(Menu(), before);
}

TEST_F(WizardTest, WithoutAMenuNamedHelpTheMenuGoesBeforeTheLastItem) {
  TopLevel()->Items(TopLevel()->Count() - 1)->SetName(UnicodeString(u"AssistMenu"));
  ComPtr<TQorbMainWizard> wizard = Make<TQorbMainWizard>();
  const int n = TopLevel()->Count();
  EXPECT_EQ(TopLevel()->Items(n - 2)->Caption(), u"Qorb");
  EXPECT_EQ(TopLevel()->Items(n - 1)->Caption(), u"Help");
}

TEST_F(WizardTest, WithoutNativeServicesStartUpFailsWithTheCastErrorAndLeavesNothing) {
  ide.Services().SetEnabled(INTAServices::IID, false);
  const std::string before = Menu();
  EXPECT_THROW(Make<TQorbMainWizard>(), EIntfCastError);
  EXPECT_EQ(Menu(), before);
  EXPECT_FALSE(Resolves<IQorbMainFunctions>());
}
