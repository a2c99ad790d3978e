#include <gtest/gtest.h>

#include <vector>

#include "winapi/LastError.h"
#include "winapi/WindowMessages.h"

namespace {
struct Recorder {
  std::vector<TMessage> Seen;
  HWND Repost = nullptr;
  void Handle(TMessage& m) {
    Seen.push_back(m);
    if (Repost) PostMessageW(Repost, m.Msg, m.WParam + 1, 0);
  }
};

struct Window {
  HWND Wnd;
  explicit Window(Recorder& r) : Wnd(AllocateHWnd(BindMethod<&Recorder::Handle>(&r))) {}
  ~Window() { DeallocateHWnd(Wnd); }
};
}  // namespace

TEST(WindowMessages, PostedMessagesReachTheirOwnWindowOldestFirst) {
  Recorder a, b;
  Window wa(a), wb(b);
  ASSERT_NE(wa.Wnd, nullptr);
  ASSERT_NE(wa.Wnd, wb.Wnd);
  EXPECT_TRUE(PostMessageW(wa.Wnd, WM_APP + 1, 1, -1));
  EXPECT_TRUE(PostMessageW(wb.Wnd, WM_APP + 2, 2, 0));
  EXPECT_TRUE(PostMessageW(wa.Wnd, WM_USER, 3, 0));
  EXPECT_EQ(PendingMessageCount(), 3);
  EXPECT_EQ(a.Seen.size(), 0u);  // nothing runs before the loop does

  EXPECT_EQ(ProcessMessages(), 3);
  ASSERT_EQ(a.Seen.size(), 2u);
  EXPECT_EQ(a.Seen[0].Msg, WM_APP + 1);
  EXPECT_EQ(a.Seen[0].WParam, 1u);
  EXPECT_EQ(a.Seen[0].LParam, -1);
  EXPECT_EQ(a.Seen[1].Msg, WM_USER);
  ASSERT_EQ(b.Seen.size(), 1u);
  EXPECT_EQ(b.Seen[0].WParam, 2u);
  EXPECT_EQ(ProcessMessages(), 0);
  EXPECT_EQ(DefWindowProcW(wa.Wnd, WM_USER, 0, 0), 0);
}

TEST(WindowMessages, DestroyedWindowRefusesPostsAndDropsWhatWaited) {
  Recorder r;
  const int before = LiveWindowCount();
  HWND wnd = AllocateHWnd(BindMethod<&Recorder::Handle>(&r));
  EXPECT_EQ(LiveWindowCount(), before + 1);
  EXPECT_TRUE(IsWindow(wnd));
  PostMessageW(wnd, WM_APP, 0, 0);
  DeallocateHWnd(wnd);
  EXPECT_EQ(LiveWindowCount(), before);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(ProcessMessages(), 0);
  EXPECT_TRUE(r.Seen.empty());

  SetLastError(0);
  EXPECT_FALSE(PostMessageW(wnd, WM_APP, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
  // A new window never gets the old handle, so the stale one stays dead.
  Window fresh(r);
  EXPECT_NE(fresh.Wnd, wnd);
  EXPECT_FALSE(PostMessageW(wnd, WM_APP, 0, 0));
  EXPECT_FALSE(PostMessageW(nullptr, WM_APP, 0, 0));
  DeallocateHWnd(nullptr);
  DeallocateHWnd(wnd);
  EXPECT_EQ(AllocateHWnd(TWndMethod{}), nullptr);
}

TEST(WindowMessages, MessagesPostedDuringDispatchWaitForTheNextRound) {
  Recorder r;
  Window w(r);
  r.Repost = w.Wnd;
  PostMessageW(w.Wnd, WM_APP, 0, 0);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(PendingMessageCount(), 1);
  EXPECT_EQ(ProcessMessages(), 1);
  ASSERT_EQ(r.Seen.size(), 2u);
  EXPECT_EQ(r.Seen[1].WParam, 1u);
  r.Repost = nullptr;
  EXPECT_EQ(ProcessMessages(), 1);
}

TEST(WindowMessages, HandlerMayDestroyItsOwnWindow) {
  struct SelfDestroying {
    HWND Wnd = nullptr;
    int Calls = 0;
    void Handle(TMessage&) {
      ++Calls;
      DeallocateHWnd(Wnd);
    }
  } s;
  s.Wnd = AllocateHWnd(BindMethod<&SelfDestroying::Handle>(&s));
  PostMessageW(s.Wnd, WM_APP, 0, 0);
  PostMessageW(s.Wnd, WM_APP, 0, 0);
  EXPECT_EQ(ProcessMessages(), 1);  // the second one went with the window
  EXPECT_EQ(s.Calls, 1);
  EXPECT_FALSE(WaitForMessage(0));
}
