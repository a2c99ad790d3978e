#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "winapi/WindowMessages.h"

namespace {
struct Counter {
  std::vector<std::vector<WPARAM>> PerThread;
  void Handle(TMessage& m) { PerThread[static_cast<size_t>(m.LParam)].push_back(m.WParam); }
};
}  // namespace

TEST(WindowMessagesThreaded, PostsFromManyThreadsArriveOnceEachInTheirOrder) {
  constexpr int kThreads = 4;
  constexpr WPARAM kEach = 5000;
  Counter c;
  c.PerThread.resize(kThreads);
  HWND wnd = AllocateHWnd(BindMethod<&Counter::Handle>(&c));
  std::vector<std::thread> writers;
  for (int t = 0; t < kThreads; ++t)
    writers.emplace_back([wnd, t] {
      for (WPARAM i = 0; i < kEach; ++i) PostMessageW(wnd, WM_APP, i, t);
    });
  size_t total = 0;
  while (total < kThreads * kEach) {
    ASSERT_TRUE(WaitForMessage(10000)) << "a wake-up was lost after " << total;
    total += static_cast<size_t>(ProcessMessages());
  }
  for (auto& w : writers) w.join();
  EXPECT_EQ(ProcessMessages(), 0);
  for (const auto& seen : c.PerThread) {
    ASSERT_EQ(seen.size(), kEach);
    for (WPARAM i = 0; i < kEach; ++i) ASSERT_EQ(seen[i], i);
  }
  DeallocateHWnd(wnd);
}

// Two threads hand a token back and forth; a lost wake-up would stall the
// exchange, a doubled one would be counted twice.
TEST(WindowMessagesThreaded, PingPongBetweenThreadsNeitherLosesNorDoublesAWakeUp) {
  constexpr int kRounds = 2000;
  struct Player {
    HWND Self = nullptr;
    std::atomic<HWND> Peer{nullptr};
    int Received = 0;
    void Handle(TMessage& m) {
      ++Received;
      if (m.WParam < kRounds) PostMessageW(Peer.load(), WM_APP, m.WParam + 1, 0);
    }
  };
  Player main, other;
  main.Self = AllocateHWnd(BindMethod<&Player::Handle>(&main));
  std::atomic<bool> ready{false};
  std::thread t([&] {
    other.Self = AllocateHWnd(BindMethod<&Player::Handle>(&other));
    other.Peer = main.Self;
    main.Peer = other.Self;
    ready = true;
    while (other.Received < kRounds / 2 && WaitForMessage(10000)) ProcessMessages();
    DeallocateHWnd(other.Self);
  });
  while (!ready) std::this_thread::yield();
  PostMessageW(main.Peer.load(), WM_APP, 1, 0);
  while (main.Received < kRounds / 2 && WaitForMessage(10000)) ProcessMessages();
  t.join();
  EXPECT_EQ(main.Received, kRounds / 2);
  EXPECT_EQ(other.Received, kRounds / 2);
  EXPECT_EQ(PendingMessageCount(), 0);
  DeallocateHWnd(main.Self);
}

TEST(WindowMessagesThreaded, OnlyTheOwningThreadDispatches) {
  int calls = 0;
  struct Owner {
    int* Calls;
    void Handle(TMessage&) { ++*Calls; }
  } owner{&calls};
  HWND wnd = nullptr;
  std::thread maker([&] { wnd = AllocateHWnd(BindMethod<&Owner::Handle>(&owner)); });
  maker.join();
  // The owning thread is gone; its window lives on with its queue, and no
  // other thread's loop runs its messages.
  EXPECT_TRUE(PostMessageW(wnd, WM_APP, 0, 0));
  EXPECT_EQ(ProcessMessages(), 0);
  EXPECT_EQ(calls, 0);
  DeallocateHWnd(wnd);
  EXPECT_FALSE(PostMessageW(wnd, WM_APP, 0, 0));
}
