// Line memory under schedules this test chooses: each writer runs on a
// thread of its own and stops at the named points of its path that the test
// asks for. The line memory is compiled into this test with its points
// switched on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "logging/Qorb.Main.LogLineMemory.h"
#include "tests/support/ScheduledThread.h"

namespace {

using qorb::logging::AllocateLine;
using qorb::logging::FreeLine;

constexpr size_t kHeader = alignof(std::max_align_t);
constexpr size_t kSlab = 64 * 1024;
constexpr size_t kBig = 4096;  // the longest carve, header included

// One AllocateLine on a thread of its own.
class Writer {
 public:
  explicit Writer(size_t bytes) : bytes_(bytes), thread_([this] { line_ = AllocateLine(bytes_); }) {}
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;
  ~Writer() { FreeLine(Finish()); }

  bool RunTo(const char* point) { return thread_.RunTo(point); }
  // Lets the writer run to the end; its line.
  unsigned char* Finish() {
    thread_.Finish();
    return static_cast<unsigned char*>(line_);
  }
  size_t Bytes() const { return bytes_; }

 private:
  const size_t bytes_;
  void* line_ = nullptr;
  TScheduledThread thread_;
};

// Lines this thread holds, freed when it is done with them.
struct HeldLines {
  std::vector<unsigned char*> lines;
  unsigned char* Take(size_t bytes) {
    lines.push_back(static_cast<unsigned char*>(AllocateLine(bytes)));
    return lines.back();
  }
  // Fills the slab in use with the longest carves until a line lands
  // somewhere else than right behind the one before: a new slab began.
  unsigned char* TakeUntilNewSlab() {
    unsigned char* before = Take(kBig - kHeader);
    for (;;) {
      unsigned char* line = Take(kBig - kHeader);
      if (line != before + kBig) return line;
      before = line;
    }
  }
  void FreeAll() {
    for (unsigned char* line : lines) FreeLine(line);
    lines.clear();
  }
  ~HeldLines() { FreeAll(); }
};

// Leaves a slab in use with exactly ROOM bytes left.
void LeaveRoom(HeldLines& held, size_t room) {
  held.TakeUntilNewSlab();  // one full carve at the start of a fresh slab
  for (size_t used = kBig; used + kBig <= kSlab - room;) {
    held.Take(kBig - kHeader);
    used += kBig;
  }
  held.Take(kBig - room - kHeader);
}

bool Overlap(const unsigned char* a, size_t aBytes, const unsigned char* b, size_t bBytes) {
  return a - kHeader < b + bBytes && b - kHeader < a + aBytes;
}

}  // namespace

// Two writers miss the end of a nearly full slab; between their misses and
// their moving on, two more writers come. However the misses are settled,
// no two lines may share a byte.
TEST(LineMemorySchedule, WritersMissingTheEndOfASlabNeverLetTwoLinesShareBytes) {
  HeldLines held;
  LeaveRoom(held, 96);
  Writer b(128 - kHeader), c(64 - kHeader);
  ASSERT_TRUE(b.RunTo("line.missed"));
  ASSERT_TRUE(c.RunTo("line.missed"));
  ASSERT_TRUE(b.RunTo("line.replacing"));
  Writer d(32 - kHeader);
  d.Finish();
  ASSERT_TRUE(c.RunTo("line.replacing"));
  Writer e(64 - kHeader);
  e.Finish();

  std::vector<Writer*> writers{&b, &c, &d, &e};
  for (Writer* w : writers) std::memset(w->Finish(), 0, w->Bytes());
  for (size_t i = 0; i < writers.size(); ++i)
    for (size_t j = i + 1; j < writers.size(); ++j)
      EXPECT_FALSE(Overlap(writers[i]->Finish(), writers[i]->Bytes(), writers[j]->Finish(), writers[j]->Bytes()))
          << "lines " << i << " and " << j << " share bytes";
}

// A writer reads the slab in use and is stopped before it holds it; the
// slab is then retired and emptied while every slab the keeper could want
// is already kept. The writer must still find live memory when it goes on.
TEST(LineMemorySchedule, ASlabAWriterHasReadIsNotFreedBeforeItHoldsIt) {
  HeldLines early, rest;
  early.TakeUntilNewSlab();
  early.FreeAll();
  Writer w(32 - kHeader);
  ASSERT_TRUE(w.RunTo("line.loaded"));
  // Lines on the slab the writer read, then on 40 more slabs.
  rest.TakeUntilNewSlab();
  unsigned char* const firstElsewhere = rest.lines.back();
  rest.lines.pop_back();
  early.lines = std::move(rest.lines);
  rest.lines = {firstElsewhere};
  for (int slab = 0; slab < 40; ++slab) rest.TakeUntilNewSlab();
  rest.FreeAll();   // the other slabs go to the keeper first
  early.FreeAll();  // then the writer's slab empties
  unsigned char* line = w.Finish();
  ASSERT_NE(line, nullptr);
  std::memset(line, 0x5a, w.Bytes());
}
