#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/services/ServicesFixture.h"

namespace {

UnicodeString Number(size_t n) { return UnicodeString::FromUtf8(std::to_string(n)); }

size_t ParseNumber(std::u16string_view s) {
  size_t n = 0;
  for (char16_t c : s) n = n * 10 + static_cast<size_t>(c - u'0');
  return n;
}

const TQorbLogMessage& AsLogMessage(const ComPtr<IOTACustomMessage>& line) {
  return *static_cast<const TQorbLogMessage*>(static_cast<INTACustomDrawMessage*>(line.get()));
}

constexpr size_t kLinesPerThread = 100000;

}  // namespace

class LoggerThreadedTest : public ServicesTest {};

TEST_F(LoggerThreadedTest, AThousandLinesBeforeTheMainLoopRunsMakeOneWakeUpAndOneBatch) {
  std::thread worker([] {
    for (size_t i = 0; i < 1000; ++i) LogInfo(UnicodeString(u"Worker"), Number(i));
  });
  worker.join();
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(ProcessMessages(), 0);
  ComPtr<TMessageGroup> group = View().FindGroup(u"Qorb");
  ASSERT_TRUE(group);
  const std::vector<ComPtr<IOTACustomMessage>> lines = group->Lines();
  ASSERT_EQ(lines.size(), 1000u);
  for (size_t i = 0; i < lines.size(); ++i) ASSERT_EQ(ParseNumber(AsLogMessage(lines[i]).Message()), i);
}

TEST_F(LoggerThreadedTest, ALineWrittenDuringDeliveryComesWithTheNextWakeUp) {
  for (const char16_t* t : {u"0", u"1", u"2"}) LogInfo(UnicodeString(u"S"), UnicodeString(t));
  bool wrote = false;
  View().OnMessageAdded = [&](TMessageGroup&, IOTACustomMessage*) {
    if (wrote) return;
    wrote = true;
    std::thread([] { LogInfo(UnicodeString(u"S"), UnicodeString(u"late")); }).join();
  };
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(QorbLines().size(), 3u);
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  const std::vector<UnicodeString> lines = QorbLines();
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(WithoutTime(lines[3]), u"[S] [Info] late");
}

TEST_F(LoggerThreadedTest, EightWritersLoseNothingAndKeepTheirOwnOrder) {
  constexpr size_t kThreads = 8;
  std::vector<std::thread> writers;
  for (size_t t = 0; t < kThreads; ++t)
    writers.emplace_back([t] {
      const UnicodeString source = Number(t);
      for (size_t i = 0; i < kLinesPerThread; ++i) LogInfo(source, Number(i));
    });

  // The main thread delivers while the writers write, checking and
  // clearing the group as it goes so that memory stays small.
  std::vector<size_t> next(kThreads, 0);
  size_t seen = 0, misordered = 0;
  ComPtr<IOTAMessageServices> messages = BorlandIDEServices.As<IOTAMessageServices>();
  while (seen < kThreads * kLinesPerThread) {
    if (!WaitForMessage(20000)) break;
    ProcessMessages();
    ComPtr<TMessageGroup> group = View().FindGroup(u"Qorb");
    if (!group) continue;
    for (const ComPtr<IOTACustomMessage>& line : group->Lines()) {
      const TQorbLogMessage& m = AsLogMessage(line);
      const size_t t = ParseNumber(m.Source());
      if (t >= kThreads || ParseNumber(m.Message()) != next[t]++) ++misordered;
      ++seen;
    }
    messages->ClearMessageGroup(group.get());
  }
  for (std::thread& w : writers) w.join();
  Pump();
  EXPECT_EQ(seen, kThreads * kLinesPerThread);
  EXPECT_EQ(misordered, 0u);
  for (size_t t = 0; t < kThreads; ++t) EXPECT_EQ(next[t], kLinesPerThread);
  EXPECT_TRUE(QorbLines().empty());
}
