#include <gtest/gtest.h>

#include "host/Qorb.Main.MainFunctions.h"
#include "host/Qorb.Main.PluginInterfaceRegistry.h"
#include "rtl/PendingLines.h"
#include "tests/services/EventTypes.h"
#include "tests/services/ServicesFixture.h"
#include "vcl/Menus.h"

using Bodies = std::vector<std::u16string>;

using LoggerTest = ServicesTest;

TEST_F(LoggerTest, EachLevelThroughTheExportsAndTheServiceShowsOnceTheMainLoopRuns) {
  ComPtr<IQorbMainFunctions> service = Make<TQorbMainFunctions>(nullptr, nullptr);
  for (auto log : {&LogDebug, &LogInfo, &LogWarning, &LogError}) log(Text(u"Src"), Text(u"x"));
  for (auto log : {&IQorbMainFunctions::LogDebug, &IQorbMainFunctions::LogInfo, &IQorbMainFunctions::LogWarning,
                   &IQorbMainFunctions::LogError})
    (service.get()->*log)(Text(u"P"), Text(u"y"));
  EXPECT_TRUE(QorbBodies(false).empty());
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(QorbBodies(), (Bodies{u"[Src] [Debug] x", u"[Src] [Info] x", u"[Src] [Warning] x", u"[Src] [Error] x",
                                  u"[P] [Debug] y", u"[P] [Info] y", u"[P] [Warning] y", u"[P] [Error] y"}));
  // The lines went in as they are: custom-drawn messages of the package.
  EXPECT_TRUE(View().FindGroup(u"Qorb")->Line(0).As<INTACustomDrawMessage>());
}

TEST_F(LoggerTest, WithoutAMessageViewLinesVanishAndLaterOnesAreShown) {
  ASSERT_TRUE(ide.Services().SetEnabled(IOTAMessageServices::IID, false));
  LogInfo(Text(u"S"), Text(u"lost"));
  EXPECT_EQ(Pump(), 1);
  ASSERT_TRUE(ide.Services().SetEnabled(IOTAMessageServices::IID, true));
  EXPECT_FALSE(View().FindGroup(u"Qorb"));
  LogInfo(Text(u"S"), Text(u"shown"));
  EXPECT_EQ(QorbBodies(), Bodies{u"[S] [Info] shown"});
}

TEST_F(LoggerTest, AnExistingQorbGroupIsUsed) {
  ComPtr<IOTAMessageServices> messages = BorlandIDEServices.As<IOTAMessageServices>();
  ComPtr<IOTAMessageGroup> other, mine;
  messages->AddMessageGroup(other, Text(u"Build"));
  messages->AddMessageGroup(mine, Text(u"qorb"));  // any letter case
  messages->AddTitleMessage(Text(u"title"), mine.get());
  LogInfo(Text(u"S"), Text(u"x"));
  EXPECT_EQ(QorbBodies().back(), u"[S] [Info] x");
  EXPECT_EQ(View().Groups().size(), 2u);
  EXPECT_EQ(messages->GetMessageCount(mine.get()), 2);
  EXPECT_EQ(messages->GetMessageCount(other.get()), 0);
}

TEST_F(LoggerTest, FinalisationEmptiesTheGroupAndLaterCallsDoNothing) {
  const int windows = LiveWindowCount();
  LogInfo(Text(u"S"), Text(u"delivered"));
  Pump();
  LogInfo(Text(u"S"), Text(u"still waiting"));
  LoggingFinalization();
  EXPECT_EQ(LiveWindowCount(), windows - 1);
  EXPECT_EQ(PendingMessageCount(), 0);  // the wake-up went with the window
  EXPECT_TRUE(QorbBodies(false).empty());
  LogError(Text(u"S"), Text(u"too late"));
  EXPECT_EQ(PendingMessageCount(), 0);
  EXPECT_TRUE(QorbBodies().empty());
}

TEST_F(LoggerTest, ALineIsOnItsWayToTheViewForACrashReportUntilTheViewHasIt) {
  LogInfo(Text(u"S"), Text(u"shown 7f3a"));
  Pump();
  LogInfo(Text(u"S"), Text(u"waiting 7f3a"));
  const std::u16string longer(400, u'x');
  LogWarning(Text(u"S"), UnicodeString(u"long 7f3a " + longer));
  // Other tests of this process may have left lines waiting too.
  std::vector<std::u16string> ours;
  char16_t line[qorb::rtl::PendingLineUnits + 1];
  for (uint64_t after = 0; qorb::rtl::NextPendingLine(after, line, std::size(line));)
    if (std::u16string_view(line).find(u"7f3a") != std::u16string_view::npos) ours.push_back(line);
  ASSERT_EQ(ours.size(), 2u);
  EXPECT_EQ(ours[0].substr(14), u" [S] [Info] waiting 7f3a");
  EXPECT_EQ(ours[1].size(), qorb::rtl::PendingLineUnits);
  EXPECT_EQ(ours[1].substr(14, 25), u" [S] [Warning] long 7f3a ");
  EXPECT_EQ(ours[1].back(), u'\u2026');
}

TEST(MainFunctions, PluginItemsLandAboveTheSeparatorInOrderOrAreAppendedWithoutIt) {
  TMenuItem root(nullptr), foreign(nullptr);  // the suite's menu as the wizard builds it: separator, About
  for (const char16_t* caption : {u"-", u"About Qorb..."}) {
    root.Add(new TMenuItem(&root));
    root.Items(root.Count() - 1)->SetCaption(caption);
  }
  ComPtr<IQorbMainFunctions> service = Make<TQorbMainFunctions>(&root, root.Items(0));
  for (const char16_t* caption : {u"A", u"B", u"C"}) EXPECT_EQ(service->AddMenuItem(Text(caption))->Owner(), &root);
  // A null or foreign insert-before item appends; without a menu nothing is made.
  Make<TQorbMainFunctions>(&root, nullptr)->AddMenuItem(Text(u"X"));
  Make<TQorbMainFunctions>(&root, &foreign)->AddMenuItem(Text(u"Y"));
  EXPECT_EQ(Make<TQorbMainFunctions>(nullptr, root.Items(0))->AddMenuItem(Text(u"Z")), nullptr);
  std::vector<std::u16string> captions;
  for (int i = 0; i < root.Count(); ++i) captions.emplace_back(root.Items(i)->Caption().view());
  EXPECT_EQ(captions, (std::vector<std::u16string>{u"A", u"B", u"C", u"-", u"About Qorb...", u"X", u"Y"}));
  EXPECT_EQ(foreign.Count(), 0);
}

TEST(MainFunctions, InterfacesGoIntoAndOutOfTheRegistryWhileItLives) {
  PluginInterfaceRegistryInitialization();
  ComPtr<IQorbMainFunctions> service = Make<TQorbMainFunctions>(nullptr, nullptr);
  ComPtr<TPing> ping = Make<TPing>();
  service->RegisterInterface(nullptr);
  service->RegisterInterface(ping->AsIInterface());
  ComPtr<IInterface> found;
  PluginInterfaceRegistry->GetMyInterface(found.put(), &IPingEvent::IID);
  EXPECT_EQ(found.get(), ping->AsIInterface());
  found.reset();
  service->UnregisterInterface(ping->AsIInterface());
  EXPECT_EQ(ping->RefCount(), 1);
  PluginInterfaceRegistryFinalization();
  service->RegisterInterface(ping->AsIInterface());  // after the registry is gone both do nothing
  service->UnregisterInterface(ping->AsIInterface());
  EXPECT_EQ(ping->RefCount(), 1);
}
