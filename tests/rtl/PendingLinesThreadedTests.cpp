// The ring of lines on their way to the view, written from many threads
// while a report reads it: a line read is one writer's whole line.
#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "rtl/PendingLines.h"

TEST(PendingLines, AReaderAmongWritersNeverSeesOneLineMixedWithAnother) {
  constexpr int kWriters = 4;
  constexpr int kLines = 50000;
  std::atomic<bool> done{false};
  std::atomic<int> bad{0}, read{0};
  std::thread reader([&] {
    char16_t line[qorb::rtl::PendingLineUnits + 1];
    // Once more after the writers are done: what they left unshown is there.
    bool last;
    do {
      last = done.load();
      for (uint64_t after = 0; qorb::rtl::NextPendingLine(after, line, std::size(line));) {
        const std::u16string_view text(line);
        if (text.empty() || text.find_first_not_of(text[0]) != std::u16string_view::npos) ++bad;
        ++read;
      }
    } while (!last);
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([w] {
      for (int i = 0; i < kLines; ++i) {
        // Each line one letter throughout, of a length that changes.
        const std::u16string text(static_cast<size_t>(1 + i % 200), static_cast<char16_t>(u'a' + (w * 7 + i) % 26));
        const uint64_t ticket = qorb::rtl::NotePendingLine(text);
        if (i % 2) qorb::rtl::CrossOffPendingLine(ticket);
      }
    });
  for (std::thread& t : writers) t.join();
  done.store(true);
  reader.join();
  EXPECT_EQ(bad.load(), 0);
  EXPECT_GT(read.load(), 0);
  // Half were never shown, far more than the ring holds.
  EXPECT_GE(qorb::rtl::PendingLinesLost(), uint64_t{kWriters * kLines / 2 - 1024});
}
