#include <gtest/gtest.h>

#include <memory>

#include "host/Qorb.Main.MainFunctions.h"
#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "tests/services/ServicesFixture.h"
#include "vcl/Menus.h"

namespace {

UnicodeString Text(const char16_t* s) { return UnicodeString(s); }

// The suite's menu as the wizard builds it: separator, About.
struct SuiteMenu {
  std::unique_ptr<TMenuItem> Root = std::make_unique<TMenuItem>(nullptr);
  TMenuItem* Separator;
  TMenuItem* About;
  SuiteMenu() {
    Root->SetCaption(Text(u"Qorb"));
    Separator = new TMenuItem(Root.get());  // owned by Root
    Separator->SetCaption(Text(u"-"));
    Root->Add(Separator);
    About = new TMenuItem(Root.get());
    About->SetCaption(Text(u"About Qorb..."));
    Root->Add(About);
  }
  std::vector<std::u16string> Captions() const {
    std::vector<std::u16string> r;
    for (int i = 0; i < Root->Count(); ++i) r.emplace_back(Root->Items(i)->Caption().view());
    return r;
  }
};

struct IProbe : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{7A1E0010-0000-4000-8000-000000000010}");
};
struct TProbe : TInterfacedObjectOf<IProbe> {};

ComPtr<IInterface> Lookup(const GUID& iid) {
  ComPtr<IInterface> r;
  PluginInterfaceRegistry->GetMyInterface(r.put(), &iid);
  return r;
}

}  // namespace

class MainFunctionsTest : public ServicesTest {};

TEST_F(MainFunctionsTest, PluginItemsLandAboveTheSeparatorInTheOrderAdded) {
  SuiteMenu menu;
  ComPtr<IQorbMainFunctions> service = Make<TQorbMainFunctions>(menu.Root.get(), menu.Separator);
  TMenuItem* a = service->AddMenuItem(Text(u"A"));
  service->AddMenuItem(Text(u"B"));
  service->AddMenuItem(Text(u"C"));
  TMenuItem* empty = service->AddMenuItem(UnicodeString());
  EXPECT_EQ(menu.Captions(), (std::vector<std::u16string>{u"A", u"B", u"C", u"", u"-", u"About Qorb..."}));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Owner(), menu.Root.get());  // freed with the suite's menu
  EXPECT_EQ(empty->Caption(), u"");
}

TEST_F(MainFunctionsTest, WithoutAUsableInsertBeforeItemNewItemsAreAppended) {
  SuiteMenu menu;
  TMenuItem foreign(nullptr);
  ComPtr<IQorbMainFunctions> none = Make<TQorbMainFunctions>(menu.Root.get(), nullptr);
  ComPtr<IQorbMainFunctions> elsewhere = Make<TQorbMainFunctions>(menu.Root.get(), &foreign);
  none->AddMenuItem(Text(u"X"));
  elsewhere->AddMenuItem(Text(u"Y"));
  EXPECT_EQ(menu.Captions(), (std::vector<std::u16string>{u"-", u"About Qorb...", u"X", u"Y"}));
  EXPECT_EQ(foreign.Count(), 0);
  ComPtr<IQorbMainFunctions> rootless = Make<TQorbMainFunctions>(nullptr, menu.Separator);
  EXPECT_EQ(rootless->AddMenuItem(Text(u"Z")), nullptr);
}

TEST_F(MainFunctionsTest, InterfacesGoIntoAndOutOfTheRegistry) {
  PluginInterfaceRegistryInitialization();
  ComPtr<IQorbMainFunctions> service = Make<TQorbMainFunctions>(nullptr, nullptr);
  ComPtr<TProbe> probe = Make<TProbe>();
  service->RegisterInterface(nullptr);
  EXPECT_FALSE(Lookup(IProbe::IID));
  service->RegisterInterface(probe->AsIInterface());
  EXPECT_EQ(Lookup(IProbe::IID).get(), probe->AsIInterface());
  service->UnregisterInterface(probe->AsIInterface());
  EXPECT_FALSE(Lookup(IProbe::IID));
  EXPECT_EQ(probe->RefCount(), 1);
  PluginInterfaceRegistryFinalization();
  // After the registry is gone both do nothing.
  service->RegisterInterface(probe->AsIInterface());
  service->UnregisterInterface(probe->AsIInterface());
  EXPECT_EQ(probe->RefCount(), 1);
}

TEST_F(MainFunctionsTest, LogCallsKeepTheirLevelAndTexts) {
  ComPtr<IQorbMainFunctions> service = Make<TQorbMainFunctions>(nullptr, nullptr);
  service->LogDebug(Text(u"P"), Text(u"d"));
  service->LogInfo(Text(u"P"), Text(u"i"));
  service->LogWarning(Text(u"P"), Text(u"w"));
  service->LogError(Text(u"P"), Text(u"e"));
  Pump();
  std::vector<std::u16string> bodies;
  for (const UnicodeString& l : QorbLines()) bodies.push_back(WithoutTime(l));
  EXPECT_EQ(bodies, (std::vector<std::u16string>{u"[P] [Debug] d", u"[P] [Info] i", u"[P] [Warning] w",
                                                 u"[P] [Error] e"}));
}
