#include <gtest/gtest.h>

#include "ide/WelcomePageViewFrame.h"
#include "presentation/Qorb.Main.WelcomePage.Caption.h"
#include "presentation/Qorb.Main.WelcomePage.h"
#include "tests/presentation/SimulatedIde.h"
#include "tests/toolsapi/RawSlot.h"
#include "vcl/ListBox.h"

namespace {

constexpr std::u16string_view kID = u"TessarySystems.WelcomePage.Main";

class WelcomePageRegistration : public SimulatedIdeTest {
 protected:
  void SetUp() override {
    SimulatedIdeTest::SetUp();
    provider = MakeWelcomePagePluginsProvider([this] {
      ++calls;
      return DynArray<TQorbWelcomePagePlugin>{{u"One", u"1.0", u"", nullptr}, {u"Two", u"2.0", u"", nullptr}};
    });
  }
  void TearDown() override {
    UnregisterQorbWelcomePage();
    SimulatedIdeTest::TearDown();
  }

  // The registered plug-in's method table, as the IDE calls it.
  void* Plugin() { return WelcomePage().FindPlugin(UnicodeString(kID)); }
  TFrame* Slot6() { return RawSlot<TFrame* (*)(void*)>(Plugin(), 6)(Plugin()); }
  TFrame* Slot7() { return RawSlot<TFrame* (*)(void*)>(Plugin(), 7)(Plugin()); }
  void Slot8() { RawSlot<void (*)(void*)>(Plugin(), 8)(Plugin()); }

  TGetWelcomePagePlugins provider;
  int calls = 0;
};

}  // namespace

TEST_F(WelcomePageRegistration, PluginIdentityThroughItsMethodTable) {
  RegisterQorbWelcomePage(provider);
  void* p = Plugin();
  ASSERT_NE(p, nullptr);
  // Both interfaces are answered, with one method table.
  void* asPlugin = nullptr;
  void* asCreator = nullptr;
  auto* unknown = static_cast<IInterface*>(p);
  ASSERT_EQ(unknown->QueryInterface(INTAWelcomePagePlugin::IID, &asPlugin), S_OK);
  ASSERT_EQ(unknown->QueryInterface(INTAWelcomePageContentPluginCreator::IID, &asCreator), S_OK);
  EXPECT_EQ(asPlugin, asCreator);
  unknown->Release();
  unknown->Release();

  char16_t* text = nullptr;
  RawSlot<void (*)(void*, char16_t**)>(p, 3)(p, &text);
  EXPECT_EQ(UnicodeString::Attach(text), kID);
  text = nullptr;
  RawSlot<void (*)(void*, char16_t**)>(p, 4)(p, &text);
  EXPECT_EQ(UnicodeString::Attach(text), u"QORB Delphi Tools");
  EXPECT_TRUE(RawSlot<bool (*)(void*)>(p, 5)(p));
  // A result variable that holds something is emptied.
  DynArray<TGraphic*> icons{nullptr};
  RawSlot<void (*)(void*, DynArray<TGraphic*>*)>(p, 9)(p, &icons);
  EXPECT_TRUE(icons.empty());
  EXPECT_EQ(RawSlot<int32_t (*)(void*)>(p, 10)(p), -1);
  RawSlot<void (*)(void*, int32_t)>(p, 11)(p, 4);
  EXPECT_EQ(RawSlot<int32_t (*)(void*)>(p, 10)(p), 4);
}

TEST_F(WelcomePageRegistration, ViewIsMadeOnceUntilDestroyed) {
  RegisterQorbWelcomePage(provider);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(Slot6(), nullptr);
  EXPECT_EQ(calls, 0);

  TFrame* view = Slot7();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(Slot7(), view);
  EXPECT_EQ(Slot6(), view);
  EXPECT_EQ(calls, 1);

  // The IDE's view holds the caption strip over the list.
  auto* slots = dynamic_cast<TWelcomePageViewFrame*>(view);
  ASSERT_NE(slots, nullptr);
  auto* caption = dynamic_cast<TQorbWelcomePageCaptionFrame*>(slots->GetCaptionFrame());
  auto* content = dynamic_cast<TQorbWelcomePageFrame*>(slots->GetContentFrame());
  ASSERT_NE(caption, nullptr);
  ASSERT_NE(content, nullptr);
  EXPECT_EQ(caption->Owner(), view);
  EXPECT_EQ(content->Owner(), view);
  EXPECT_EQ(content->lbPlugins->Count(), 2);

  Slot8();
  EXPECT_EQ(Slot6(), nullptr);
  ASSERT_NE(Slot7(), nullptr);
  EXPECT_EQ(calls, 2);
}

TEST_F(WelcomePageRegistration, OpeningThePageAsksForTheView) {
  RegisterQorbWelcomePage(provider);
  WelcomePage().ShowWelcomePage();
  EXPECT_EQ(calls, 1);
  EXPECT_NE(WelcomePage().ViewOf(UnicodeString(kID)), nullptr);
}

TEST_F(WelcomePageRegistration, UnregisteringLeavesNoPluginAndNoProvider) {
  RegisterQorbWelcomePage(provider);
  ASSERT_TRUE(WelcomePage().IsPluginRegistered(UnicodeString(kID)));
  Slot7();
  UnregisterQorbWelcomePage();
  EXPECT_FALSE(WelcomePage().IsPluginRegistered(UnicodeString(kID)));
  EXPECT_EQ(WelcomePage().GetPluginCount(), 0);
  TQorbWelcomePageFrame later(nullptr);
  EXPECT_EQ(later.lbPlugins->Count(), 0);
  EXPECT_EQ(calls, 1);
}

TEST_F(WelcomePageRegistration, WithoutWelcomePageOnlyTheProviderIsSet) {
  WelcomePagePluginService = nullptr;
  RegisterQorbWelcomePage(provider);
  EXPECT_EQ(WelcomePage().GetPluginCount(), 0);
  TQorbWelcomePageFrame frame(nullptr);
  EXPECT_EQ(frame.lbPlugins->Count(), 2);
  UnregisterQorbWelcomePage();
  TQorbWelcomePageFrame after(nullptr);
  EXPECT_EQ(after.lbPlugins->Count(), 0);
}

namespace {

// A welcome page whose view frames have no caption and content slots, or
// that makes no frame at all.
class TPlainViewService : public TInterfacedObjectOf<INTAWelcomePagePluginService> {
 public:
  bool MakeNone = false;
  int Made = 0;
  int32_t GetPluginCount() override { return 0; }
  INTAWelcomePagePlugin* GetPlugin(int32_t) override { return nullptr; }
  INTAWelcomePagePlugin* FindPlugin(UnicodeStringRef) override { return nullptr; }
  bool IsPluginRegistered(UnicodeStringRef) override { return false; }
  void GetActivePluginID(UnicodeString& R) override { R.Clear(); }
  bool SetActivePluginID(UnicodeStringRef) override { return false; }
  void ShowWelcomePage() override {}
  bool GetWelcomePageShowing() override { return false; }
  void RegisterPlugin(INTAWelcomePagePlugin*) override {}
  void UnRegisterPlugin(UnicodeStringRef) override {}
  void GetPluginCaption(UnicodeString& R, UnicodeStringRef) override { R.Clear(); }
  TColor GetBackgroundColor() override { return clWindow; }
  TColor GetCaptionColor() override { return clWindowText; }
  TFrame* CreateViewFrame(UnicodeStringRef, UnicodeStringRef, TWinControl*) override {
    ++Made;
    return MakeNone ? nullptr : new TFrame(nullptr);
  }
};

}  // namespace

TEST(WelcomePageView, FrameWithoutSlotsIsShownAsMadeAndNoFrameIsRetried) {
  TIdeGlobals globals;
  auto service = Make<TPlainViewService>();
  globals.WelcomePage(service);
  int calls = 0;
  SetWelcomePagePluginsProvider(MakeWelcomePagePluginsProvider([&calls] {
    ++calls;
    return DynArray<TQorbWelcomePagePlugin>{};
  }));

  auto creator = Make<TQorbWelcomePagePluginCreator>();
  TFrame* view = creator->CreateView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->ComponentCount(), 0);
  EXPECT_EQ(calls, 0);

  creator->DestroyView();
  service->MakeNone = true;
  EXPECT_EQ(creator->CreateView(), nullptr);
  EXPECT_EQ(creator->CreateView(), nullptr);
  EXPECT_EQ(service->Made, 3);
  SetWelcomePagePluginsProvider(nullptr);
}
