#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/services/ServicesFixture.h"

namespace {
UnicodeString Text(const char16_t* s) { return UnicodeString(s); }

std::vector<std::u16string> Bodies(const std::vector<UnicodeString>& lines) {
  std::vector<std::u16string> r;
  for (const UnicodeString& l : lines) r.push_back(ServicesTest::WithoutTime(l));
  return r;
}
}  // namespace

class LoggerTest : public ServicesTest {};

TEST_F(LoggerTest, EachFunctionWritesItsLevelAndNothingShowsBeforeTheMainLoopRuns) {
  LogDebug(Text(u"Src"), Text(u"d"));
  LogInfo(Text(u"Src"), Text(u"i"));
  LogWarning(Text(u"Src"), Text(u"w"));
  LogError(Text(u"Src"), Text(u"e"));
  EXPECT_TRUE(QorbLines().empty());
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(Bodies(QorbLines()), (std::vector<std::u16string>{u"[Src] [Debug] d", u"[Src] [Info] i",
                                                              u"[Src] [Warning] w", u"[Src] [Error] e"}));
  // The lines went in as they are: custom-drawn messages of the package.
  ComPtr<TMessageGroup> group = View().FindGroup(u"Qorb");
  ASSERT_TRUE(group);
  EXPECT_TRUE(group->Line(0).As<INTACustomDrawMessage>());
}

TEST_F(LoggerTest, WithoutAMessageViewLinesVanishAndLaterOnesAreShown) {
  ASSERT_TRUE(Ide().Services().SetEnabled(IOTAMessageServices::IID, false));
  LogInfo(Text(u"S"), Text(u"lost"));
  EXPECT_EQ(Pump(), 1);
  ASSERT_TRUE(Ide().Services().SetEnabled(IOTAMessageServices::IID, true));
  EXPECT_FALSE(View().FindGroup(u"Qorb"));
  LogInfo(Text(u"S"), Text(u"shown"));
  Pump();
  EXPECT_EQ(Bodies(QorbLines()), (std::vector<std::u16string>{u"[S] [Info] shown"}));
}

TEST_F(LoggerTest, AnExistingQorbGroupIsUsed) {
  ComPtr<IOTAMessageServices> messages = BorlandIDEServices.As<IOTAMessageServices>();
  ComPtr<IOTAMessageGroup> other, mine;
  messages->AddMessageGroup(other, Text(u"Build"));
  messages->AddMessageGroup(mine, Text(u"qorb"));  // any letter case
  messages->AddTitleMessage(Text(u"title"), mine.get());
  LogInfo(Text(u"S"), Text(u"x"));
  Pump();
  ASSERT_EQ(View().Groups().size(), 2u);
  EXPECT_EQ(messages->GetMessageCount(mine.get()), 2);
  EXPECT_EQ(messages->GetMessageCount(other.get()), 0);
  EXPECT_EQ(Bodies(QorbLines()).back(), u"[S] [Info] x");
}

TEST_F(LoggerTest, AFailingViewLosesTheRestOfThatBatchOnly) {
  int adds = 0;
  View().OnMessageAdded = [&](TMessageGroup&, IOTACustomMessage*) {
    if (++adds == 2) throw std::runtime_error("view broke");
  };
  for (const char16_t* t : {u"1", u"2", u"3"}) LogInfo(Text(u"S"), Text(t));
  EXPECT_NO_THROW(Pump());
  LogInfo(Text(u"S"), Text(u"4"));
  LogInfo(Text(u"S"), Text(u"5"));
  Pump();
  EXPECT_EQ(Bodies(QorbLines()),
            (std::vector<std::u16string>{u"[S] [Info] 1", u"[S] [Info] 2", u"[S] [Info] 4", u"[S] [Info] 5"}));
}

TEST_F(LoggerTest, FinalisationEmptiesTheGroupAndLaterCallsDoNothing) {
  const int windows = LiveWindowCount();
  LogInfo(Text(u"S"), Text(u"delivered"));
  Pump();
  LogInfo(Text(u"S"), Text(u"still waiting"));
  LoggingFinalization();
  EXPECT_EQ(LiveWindowCount(), windows - 1);
  EXPECT_EQ(PendingMessageCount(), 0);  // the wake-up went with the window
  ComPtr<TMessageGroup> group = View().FindGroup(u"Qorb");
  ASSERT_TRUE(group);
  EXPECT_EQ(group->Count(), 0u);
  LogError(Text(u"S"), Text(u"too late"));
  EXPECT_EQ(PendingMessageCount(), 0);
  EXPECT_EQ(group->Count(), 0u);
  // A second initialisation starts afresh.
  LoggingInitialization();
  LogInfo(Text(u"S"), Text(u"again"));
  Pump();
  EXPECT_EQ(Bodies(QorbLines()), (std::vector<std::u16string>{u"[S] [Info] again"}));
}
