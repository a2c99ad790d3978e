#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "winapi/WindowMessages.h"

// Two threads hand a token back and forth; a lost wake-up would stall the
// exchange, a doubled one would be counted twice.
TEST(WindowMessagesThreaded, PingPongBetweenThreadsNeitherLosesNorDoublesAWakeUp) {
  constexpr int kRounds = 2000;
  struct Player {
    std::atomic<HWND> Peer{nullptr};
    int Received = 0;
    void Handle(TMessage& m) {
      ++Received;
      if (m.WParam < kRounds) PostMessageW(Peer.load(), WM_APP, m.WParam + 1, 0);
    }
  } main, other;
  HWND self = AllocateHWnd(BindMethod<&Player::Handle>(&main));
  std::atomic<bool> ready{false};
  std::thread t([&] {
    HWND own = AllocateHWnd(BindMethod<&Player::Handle>(&other));
    other.Peer = self;
    main.Peer = own;
    ready = true;
    while (other.Received < kRounds / 2 && WaitForMessage(10000)) ProcessMessages();
    DeallocateHWnd(own);
  });
  while (!ready) std::this_thread::yield();
  PostMessageW(main.Peer.load(), WM_APP, 1, 0);
  while (main.Received < kRounds / 2 && WaitForMessage(10000)) ProcessMessages();
  t.join();
  EXPECT_EQ(main.Received, kRounds / 2);
  EXPECT_EQ(other.Received, kRounds / 2);
  EXPECT_EQ(PendingMessageCount(), 0);
  DeallocateHWnd(self);
}
