#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "tests/services/ServicesFixture.h"

namespace {
UnicodeString Number(size_t n) { return UnicodeString::FromUtf8(std::to_string(n)); }
size_t ParseNumber(std::u16string_view s) { return std::stoul(Utf16ToUtf8(s)); }
}  // namespace

using LoggerThreadedTest = ServicesTest;

TEST_F(LoggerThreadedTest, AThousandLinesBeforeTheMainLoopRunsMakeOneWakeUpAndOneBatchInOrder) {
  std::thread([] {
    for (size_t i = 0; i < 1000; ++i) LogInfo(Text(u"W"), Number(i));
  }).join();
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(ProcessMessages(), 0);
  const std::vector<std::u16string> lines = QorbBodies(false);
  ASSERT_EQ(lines.size(), 1000u);
  for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(ParseNumber(lines[i].substr(11)), i);  // after "[W] [Info] "
}

TEST_F(LoggerThreadedTest, ALineWrittenDuringDeliveryComesWithTheNextWakeUp) {
  for (const char16_t* t : {u"0", u"1", u"2"}) LogInfo(Text(u"S"), Text(t));
  bool wrote = false;
  View().OnMessageAdded = [&wrote](TMessageGroup&, IOTACustomMessage*) {
    if (!std::exchange(wrote, true)) std::thread([] { LogInfo(Text(u"S"), Text(u"late")); }).join();
  };
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(QorbBodies(false).size(), 3u);
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(QorbBodies().back(), u"[S] [Info] late");
}

TEST_F(LoggerThreadedTest, EightWritersOfAHundredThousandLinesLoseNothingAndKeepTheirOwnOrder) {
  constexpr size_t kThreads = 8, kLines = 100000;
  std::vector<std::thread> writers;
  for (size_t t = 0; t < kThreads; ++t)
    writers.emplace_back([t] {
      for (size_t i = 0; i < kLines; ++i) LogInfo(Number(t), Number(i));
    });
  // The main thread delivers while the writers write, checking and clearing
  // the group as it goes so that memory stays small.
  std::vector<size_t> next(kThreads, 0);
  size_t seen = 0, misordered = 0;
  while (seen < kThreads * kLines && WaitForMessage(20000)) {
    ProcessMessages();
    for (const std::u16string& line : QorbBodies(false)) {  // "[t] [Info] i"
      const size_t t = ParseNumber(line.substr(1, 1));
      if (t >= kThreads || ParseNumber(line.substr(11)) != next[t]++) ++misordered;
      ++seen;
    }
    if (ComPtr<TMessageGroup> group = View().FindGroup(u"Qorb")) group->Clear();
  }
  for (std::thread& w : writers) w.join();
  EXPECT_EQ(seen, kThreads * kLines);
  EXPECT_EQ(misordered, 0u);
  EXPECT_TRUE(QorbBodies().empty());
}
