#include <gtest/gtest.h>

#include "ide/IDE.h"
#include "ide/MainMenu.h"
#include "sdk/qorb_plugin.h"
#include "tests/ide/Fixtures.h"
#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/ToolsAPI.h"
#include "vcl/Menus.h"

TEST(IDEServices, OneObjectAnswersEveryServiceASwitchedOffOneIsRefusedAndMenuItemsAreFound) {
  TIDE ide;
  EXPECT_THROW(TIDE second, std::logic_error);  // one at a time
  ComPtr<IBorlandIDEServices> services = ide.ServicesObject();
  ComPtr<INTAServices> nta = services.As<INTAServices>();
  ComPtr<IOTAServices> ota = services.As<IOTAServices>();
  ASSERT_TRUE(nta && ota);
  EXPECT_EQ(nta.As<IInterface>().get(), services.As<IInterface>().get());

  ASSERT_TRUE(ide.Services().SetEnabled(INTAServices::IID, false));
  EXPECT_FALSE(ota.As<INTAServices>());
  EXPECT_EQ(nta->GetMainMenu(), &ide.MainMenu());  // what was handed out still works
  ASSERT_TRUE(ide.Services().SetEnabled(INTAServices::IID, true));
  EXPECT_TRUE(ota.As<INTAServices>());
  const std::pair<int, int> slots[] = {
      // as add-ins built by another compiler call them
      {SlotOf(&INTAServices::MenuBeginUpdate), 3}, {SlotOf(&INTAServices::MenuEndUpdate), 4},
      {SlotOf(&INTAServices::FindMenuItem), 5},    {SlotOf(&INTAServices::GetMainMenu), 6},
      {SlotOf(&IOTAServices::GetParentHandle), 7}, {SlotOf(&IOTAServices::GetUILanguage), 15}};
  for (auto [slot, expected] : slots) EXPECT_EQ(slot, expected);

  // The usual top-level items end in one named HelpMenu; items are found by caption path.
  TMenuItem* top = ide.MainMenu().Items();
  ASSERT_EQ(top->Count(), 11);
  EXPECT_EQ(nta->FindMenuItem(UnicodeString(u"helpmenu")), top->Items(10));
  auto* qorb = new TMenuItem(nullptr);
  qorb->SetCaption(u"&Qorb");
  top->Insert(10, qorb);
  auto* leaf = new TMenuItem(qorb);
  leaf->SetCaption(u"R&&D tools");
  qorb->Add(leaf);
  EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), u"qorb/R&D TOOLS"), leaf);
  for (const char16_t* miss : {u"Qorb/R", u"Qorb/", u"", u"Qorb/R&D tools/deeper"})
    EXPECT_EQ(FindMenuItemByPath(ide.MainMenu(), miss), nullptr) << Utf16ToUtf8(miss);
}

TEST(IDEServices, AReferenceKeptPastShutdownIsReportedAndAnswersEmpty) {
  ComPtr<INTAServices> late;
  ComPtr<IOTAServices> lateGeneral;
  {
    TIDE ide;
    late = ide.ServicesObject().As<INTAServices>();
    lateGeneral = late.As<IOTAServices>();
    EXPECT_EQ(ide.Shutdown(),
              (std::vector<UnicodeString>{u"the IDE services object is still referenced 2 time(s) after unloading"}));
  }
  // The IDE is gone: nothing dangles.
  EXPECT_EQ(late->GetMainMenu(), nullptr);
  EXPECT_EQ(late->FindMenuItem(UnicodeString(u"HelpMenu")), nullptr);
  EXPECT_EQ(lateGeneral->GetParentHandle(), nullptr);
  UnicodeString s(u"x");
  lateGeneral->GetUILanguage(s);
  EXPECT_TRUE(s.IsEmpty());
}

namespace {
struct TClicks {
  int Count = 0;
  void* Sender = nullptr;
};
void CountClick(void* self, void* sender) {
  auto* clicks = static_cast<TClicks*>(self);
  ++clicks->Count;
  clicks->Sender = sender;
}
}  // namespace

TEST(IDEServices, PlainMenuItemCallsReachOnlyItemsOfTheMainMenu) {
  TIDE ide;
  // Through the C header's method table, as a plug-in of any compiler calls it.
  ComPtr<INTAMenuItems> intf = ide.ServicesObject().As<INTAMenuItems>();
  ASSERT_TRUE(intf);
  auto* items = reinterpret_cast<QorbMenuItems*>(intf.get());
  TMenuItem* tools = FindMenuItemByName(ide.MainMenu(), u"ToolsMenu");
  auto* leaf = new TMenuItem(tools);
  tools->Add(leaf);
  TClicks clicks;
  EXPECT_EQ(qorb_menu_item_set_click(items, leaf, CountClick, &clicks), 1);
  leaf->Click();
  EXPECT_EQ(clicks.Count, 1);
  EXPECT_EQ(clicks.Sender, leaf);

  // Anything else is refused without being read.
  TMenuItem stranger(nullptr);
  int local = 0;
  for (void* other : {static_cast<void*>(&stranger), static_cast<void*>(&local)}) {
    EXPECT_EQ(qorb_menu_item_set_click(items, other, CountClick, &clicks), 0);
    EXPECT_EQ(qorb_menu_item_free(items, other), 0);
  }
  EXPECT_FALSE(stranger.OnClick.Assigned());

  const int before = tools->Count();
  EXPECT_EQ(qorb_menu_item_free(items, leaf), 1);
  EXPECT_EQ(tools->Count(), before - 1);
  EXPECT_EQ(qorb_menu_item_free(items, leaf), 0);  // gone: no second free
}
