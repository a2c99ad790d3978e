#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "ide/IDE.h"
#include "winapi/WindowMessages.h"

TEST(MainLoop, RunsTasksAndSourcesUntilIdleOnTheMainThreadOnly) {
  TMainLoop loop;
  std::vector<int> order;
  int pending = 3;  // a source with three items, handled one a round
  loop.AddWorkSource([&]() -> size_t {
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

  loop.AddWorkSource([] { return size_t{1}; });  // endless work stops at the round limit
  EXPECT_EQ(loop.RunUntilIdle(), TMainLoop::MaxRounds);
  std::thread([&] { EXPECT_THROW(loop.RunUntilIdle(), std::logic_error); }).join();
}

TEST(MainLoop, TheIDERunsWindowMessagesAndReportsWhatATaskRaisesAndWindowsLeftAlive) {
  TIDE ide;
  struct TReceiver {
    std::vector<UINT> got;
    void Handle(TMessage& Msg) { got.push_back(Msg.Msg); }
  } receiver;
  HWND wnd = AllocateHWnd(BindMethod<&TReceiver::Handle>(&receiver));
  std::thread([wnd] { PostMessageW(wnd, WM_USER + 1, 0, 0); }).join();
  bool after = false;
  ide.MainLoop().Post([] { throw std::runtime_error("task failed"); });
  ide.MainLoop().Post([&] { after = true; });
  ide.MainLoop().RunUntilIdle();
  EXPECT_TRUE(after);
  EXPECT_EQ(receiver.got, std::vector<UINT>{WM_USER + 1});
  EXPECT_EQ(ide.Errors(), std::vector<UnicodeString>{u"Exception runtime_error in the main thread: task failed"});
  EXPECT_EQ(ide.Shutdown(), std::vector<UnicodeString>{u"1 window(s) left alive"});
  DeallocateHWnd(wnd);
}
