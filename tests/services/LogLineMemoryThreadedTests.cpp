// Line memory: lines made on several threads and freed on another, out of
// order, never share bytes, whether carved from a slab or too long for one,
// while slabs fill, empty and are used again (some 400 slabs' worth).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "logging/Qorb.Main.LogLineMemory.h"

namespace {

struct Line {
  unsigned char* bytes;
  size_t size;
  unsigned char mark;
};

}  // namespace

TEST(LogLineMemory, LinesFromManyWritersFreedElsewhereKeepTheirBytes) {
  constexpr int kWriters = 4, kLines = 20000;
  std::mutex lock;
  std::vector<Line> made;
  std::atomic<int> done{0};
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([&, w] {
      for (int i = 0; i < kLines; ++i) {
        // Mostly short lines, now and then one longer than any slab carve.
        const size_t size = i % 997 == 0 ? 10000 : 1 + (i * 37 + w) % 700;
        auto* bytes = static_cast<unsigned char*>(qorb::logging::AllocateLine(size));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t), 0u);
        const auto mark = static_cast<unsigned char>(w * 64 + i % 61);
        std::memset(bytes, mark, size);
        const std::lock_guard guard(lock);
        made.push_back({bytes, size, mark});
      }
      ++done;
    });

  // This thread frees as the writers go, every other line first, so that
  // slabs empty out of order.
  size_t bad = 0, freed = 0;
  auto check = [&](const Line& line) {
    for (size_t b = 0; b < line.size; ++b)
      if (line.bytes[b] != line.mark) {
        ++bad;
        break;
      }
    qorb::logging::FreeLine(line.bytes);
    ++freed;
  };
  for (;;) {
    const bool last = done.load() == kWriters;
    std::vector<Line> batch;
    {
      const std::lock_guard guard(lock);
      batch.swap(made);
    }
    for (size_t i = 0; i < batch.size(); i += 2) check(batch[i]);
    for (size_t i = 1; i < batch.size(); i += 2) check(batch[i]);
    if (last) break;
  }
  for (std::thread& t : writers) t.join();
  EXPECT_EQ(bad, 0u);
  EXPECT_EQ(freed, size_t{kWriters} * kLines);
  qorb::logging::FreeLine(nullptr);
}

#if defined(__SANITIZE_ADDRESS__)
// A line is heap memory to the sanitizer: bytes past its end, and the line
// once freed, are reported as they would be from the general allocator.
TEST(LogLineMemoryDeathTest, BytesPastALineAndAFreedLineAreReported) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto* line = static_cast<volatile unsigned char*>(qorb::logging::AllocateLine(48));
  line[47] = 1;
  EXPECT_DEATH(line[48] = 1, "use-after-poison");
  qorb::logging::FreeLine(const_cast<unsigned char*>(line));
  EXPECT_DEATH(line[0] = 1, "use-after-poison");
}
#endif
