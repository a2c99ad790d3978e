#include <gtest/gtest.h>

#include "ide/IDE.h"
#include "ide/NativeServices.h"
#include "tests/ide/JournalService.h"
#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/ToolsAPI.h"
#include "vcl/Menus.h"

namespace {
struct IUnoffered : IInterface {
  using Base = IInterface;
  static constexpr GUID IID = MakeGuid("{DAF71FB3-9503-4242-8FB7-75AEBCDE82D3}");
};
}  // namespace

TEST(IDEServices, AnswersItsServicesThroughOneObject) {
  TIDE ide;
  ComPtr<IBorlandIDEServices> services = ide.ServicesObject();
  ComPtr<INTAServices> nta;
  ComPtr<IOTAServices> ota;
  ASSERT_TRUE(Supports(services, nta));
  ASSERT_TRUE(Supports(services, ota));
  EXPECT_FALSE(services.As<IUnoffered>());
  EXPECT_FALSE(services.As<IFixtureJournal>());

  // Every service leads back to the services object, and to its siblings.
  IInterface* identity = services.As<IInterface>().get();
  EXPECT_EQ(nta.As<IInterface>().get(), identity);
  EXPECT_EQ(ota.As<IInterface>().get(), identity);
  EXPECT_TRUE(nta.As<IOTAServices>());
  EXPECT_TRUE(ota.As<IBorlandIDEServices>());

  // A reference to a service keeps the services object alive.
  const int32_t before = ide.Services().RefCount();
  ComPtr<INTAServices> extra = nta;
  EXPECT_EQ(ide.Services().RefCount(), before + 1);
}

TEST(IDEServices, NativeAndGeneralServicesThroughRawSlots) {
  TIDEOptions options;
  options.UILanguage = u"de-DE";
  options.RootDirectory = "/opt/qorb";
  TIDE ide(std::move(options));
  ComPtr<INTAServices> nta = ide.ServicesObject().As<INTAServices>();
  ComPtr<IOTAServices> ota = ide.ServicesObject().As<IOTAServices>();
  ASSERT_TRUE(nta && ota);

  void* n = nta.get();
  EXPECT_EQ(RawSlot<TMainMenu* (*)(void*)>(n, 6)(n), &ide.MainMenu());
  UnicodeString help(u"helpmenu");
  TMenuItem* found = RawSlot<TMenuItem* (*)(void*, const char16_t*)>(n, 5)(n, help.Raw());
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Caption(), u"Help");
  EXPECT_EQ(RawSlot<TMenuItem* (*)(void*, const char16_t*)>(n, 5)(n, nullptr), nullptr);
  RawSlot<void (*)(void*)>(n, 3)(n);
  EXPECT_EQ(ide.Services().Service<TNativeServices>()->MenuUpdateDepth(), 1);
  RawSlot<void (*)(void*)>(n, 4)(n);
  RawSlot<void (*)(void*)>(n, 4)(n);  // unbalanced end: stays at zero
  EXPECT_EQ(ide.Services().Service<TNativeServices>()->MenuUpdateDepth(), 0);

  void* o = ota.get();
  EXPECT_EQ(RawSlot<HWND (*)(void*)>(o, 7)(o), ide.ParentHandle());
  EXPECT_NE(ide.ParentHandle(), nullptr);
  UnicodeString lang;
  RawSlot<void (*)(void*, char16_t**)>(o, 15)(o, lang.put());
  EXPECT_EQ(lang, u"de-DE");
  ide.SetUILanguage(u"fr");
  ota->GetUILanguage(lang);
  EXPECT_EQ(lang, u"fr");

  UnicodeString dir;
  ota->GetTemplateDirectory(dir);
  EXPECT_EQ(dir, u"/opt/qorb/Templates/");
  ota->GetBinDirectory(dir);
  EXPECT_EQ(dir, u"/opt/qorb/");
  EXPECT_TRUE(ota->IsValidIdent(UnicodeString(u"_Name1")));
  EXPECT_FALSE(ota->IsValidIdent(UnicodeString(u"1Name")));
}

TEST(IDEServices, ASwitchedOffServiceIsRefusedAndANewOneIsOneLine) {
  TIDE ide;
  ComPtr<INTAServices> kept = ide.ServicesObject().As<INTAServices>();
  ASSERT_TRUE(ide.Services().SetEnabled(INTAServices::IID, false));
  EXPECT_FALSE(ide.Services().IsEnabled(INTAServices::IID));
  EXPECT_FALSE(ide.ServicesObject().As<INTAServices>());
  EXPECT_FALSE(kept.As<INTAServices>());  // asked again through a kept service
  EXPECT_EQ(kept->GetMainMenu(), &ide.MainMenu());  // what was handed out still works
  EXPECT_TRUE(ide.ServicesObject().As<IOTAServices>());
  EXPECT_FALSE(ide.Services().SetEnabled(IUnoffered::IID, false));
  ASSERT_TRUE(ide.Services().SetEnabled(INTAServices::IID, true));
  EXPECT_TRUE(ide.ServicesObject().As<INTAServices>());

  TJournalService& journal = ide.Services().Add<TJournalService>();
  ComPtr<IFixtureJournal> j = ide.ServicesObject().As<IFixtureJournal>();
  ASSERT_TRUE(j);
  j->Add(UnicodeString(u"hello"));
  EXPECT_EQ(journal.Events, std::vector<std::string>{"hello"});
}

TEST(IDEServices, AReferenceKeptPastShutdownIsReportedAndAnswersEmpty) {
  ComPtr<INTAServices> late;
  ComPtr<IOTAServices> lateGeneral;
  {
    TIDE ide;
    late = ide.ServicesObject().As<INTAServices>();
    lateGeneral = late.As<IOTAServices>();
    const std::vector<UnicodeString>& leftovers = ide.Shutdown();
    ASSERT_EQ(leftovers.size(), 1u);
    EXPECT_EQ(leftovers[0], u"the IDE services object is still referenced 2 time(s) after unloading");
  }
  // The IDE is gone: nothing dangles.
  EXPECT_EQ(late->GetMainMenu(), nullptr);
  EXPECT_EQ(late->FindMenuItem(UnicodeString(u"HelpMenu")), nullptr);
  EXPECT_EQ(lateGeneral->GetParentHandle(), nullptr);
  UnicodeString s(u"x");
  lateGeneral->GetUILanguage(s);
  EXPECT_TRUE(s.IsEmpty());
  lateGeneral->GetRootDirectory(s);
  EXPECT_TRUE(s.IsEmpty());
}

TEST(IDE, OneAtATime) {
  TIDE ide;
  EXPECT_EQ(TIDE::Current(), &ide);
  EXPECT_THROW(TIDE second, std::logic_error);
  EXPECT_EQ(TIDE::Current(), &ide);
}
