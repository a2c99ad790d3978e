#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "ide/IDE.h"
#include "ide/MainLoop.h"
#include "winapi/WindowMessages.h"

TEST(MainLoop, RunsTasksAndSourcesUntilIdle) {
  TMainLoop loop;
  std::vector<int> order;
  int pending = 3;  // a source with three items, handled one a round
  const int id = loop.AddWorkSource([&]() -> size_t {
    if (pending == 0) return 0;
    order.push_back(100 + pending--);
    return 1;
  });
  loop.Post([&] {
    order.push_back(1);
    loop.Post([&] { order.push_back(2); });  // posted while running: still this call
  });
  EXPECT_EQ(loop.RunUntilIdle(), 5u);
  EXPECT_EQ(order, (std::vector<int>{1, 103, 2, 102, 101}));
  EXPECT_EQ(loop.RunUntilIdle(), 0u);

  loop.RemoveWorkSource(id);
  pending = 1;
  EXPECT_EQ(loop.RunUntilIdle(), 0u);
}

TEST(MainLoop, EndlessWorkStopsAtTheRoundLimit) {
  TMainLoop loop;
  loop.AddWorkSource([] { return size_t{1}; });
  EXPECT_EQ(loop.RunUntilIdle(), TMainLoop::MaxRounds);
}

TEST(MainLoop, OnlyTheMainThreadRunsIt) {
  TMainLoop loop;
  bool threw = false;
  std::thread([&] {
    EXPECT_FALSE(loop.IsMainThread());
    try {
      loop.RunUntilIdle();
    } catch (const std::logic_error&) {
      threw = true;
    }
  }).join();
  EXPECT_TRUE(threw);
}

TEST(MainLoop, TheIDEReportsWhatATaskRaises) {
  TIDE ide;
  bool after = false;
  ide.MainLoop().Post([] { throw std::runtime_error("task failed"); });
  ide.MainLoop().Post([&] { after = true; });
  bool failed = false;
  ide.MainLoop().AddWorkSource([&]() -> size_t {
    if (failed) return 0;
    failed = true;
    throw Exception(u"source failed");
  });
  ide.MainLoop().RunUntilIdle();
  EXPECT_TRUE(after);
  ASSERT_EQ(ide.Errors().size(), 2u);
  EXPECT_EQ(ide.Errors()[0], u"Exception runtime_error in the main thread: task failed");
  EXPECT_EQ(ide.Errors()[1], u"Exception Exception in the main thread: source failed");
}

namespace {
struct TReceiver {
  std::vector<UINT> got;
  void Handle(TMessage& Msg) { got.push_back(Msg.Msg); }
};
}  // namespace

TEST(MainLoop, TheIDEDispatchesWindowMessagesAndReportsLiveWindows) {
  TIDE ide;
  TReceiver receiver;
  HWND wnd = AllocateHWnd(BindMethod<&TReceiver::Handle>(&receiver));
  ASSERT_NE(wnd, nullptr);
  std::thread([wnd] { PostMessageW(wnd, WM_USER + 1, 0, 0); }).join();
  // The wait ends for the message although nobody called Post or Wake.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ide.MainLoop().WaitAndRun(std::chrono::seconds(10)), 1u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(receiver.got, std::vector<UINT>{WM_USER + 1});

  const std::vector<UnicodeString> leftovers = ide.Shutdown();
  ASSERT_EQ(leftovers.size(), 1u);
  EXPECT_EQ(leftovers[0], u"1 window(s) left alive");
  DeallocateHWnd(wnd);
}
