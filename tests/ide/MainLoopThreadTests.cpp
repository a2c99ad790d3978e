#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "ide/MainLoop.h"

using namespace std::chrono_literals;

TEST(MainLoopThreads, PostsFromManyThreadsAllRunOnTheMainThread) {
  TMainLoop loop;
  constexpr int kThreads = 8, kEach = 500;
  int ran = 0;  // touched on the main thread only
  std::atomic<int> offMain{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < kEach; ++i)
        loop.Post([&] {
          if (!loop.IsMainThread()) ++offMain;
          ++ran;
        });
    });
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (ran < kThreads * kEach && std::chrono::steady_clock::now() < deadline) loop.WaitAndRun(10ms);
  for (auto& th : threads) th.join();
  loop.RunUntilIdle();
  EXPECT_EQ(ran, kThreads * kEach);
  EXPECT_EQ(offMain.load(), 0);
}

TEST(MainLoopThreads, AWakeFromAnotherThreadIsNotLost) {
  TMainLoop loop;
  std::atomic<int> queued{0};
  int handled = 0;
  loop.AddWorkSource([&]() -> size_t {
    const int n = queued.exchange(0);
    handled += n;
    return static_cast<size_t>(n);
  });
  for (int round = 0; round < 50; ++round) {
    std::thread producer([&] {
      ++queued;
      loop.Wake();
    });
    // Long timeout: a lost wake-up would show as a slow test, a missed item
    // as a failure.
    const int before = handled;
    while (handled == before) loop.WaitAndRun(5s);
    producer.join();
  }
  EXPECT_EQ(handled, 50);
  // Nothing pending: WaitAndRun waits out its timeout and does nothing.
  EXPECT_EQ(loop.WaitAndRun(1ms), 0u);
}
