#include <gtest/gtest.h>

#include <vector>

#include "winapi/WindowMessages.h"

namespace {
struct Recorder {
  std::vector<TMessage> Seen;
  HWND Wnd = nullptr;
  bool SelfDestroy = false;
  void Handle(TMessage& m) {
    Seen.push_back(m);
    if (SelfDestroy) DeallocateHWnd(Wnd);
  }
};
}  // namespace

TEST(WindowMessages, PostsRunInOrderOnceTheLoopRunsAndADestroyedWindowDropsAndRefusesThem) {
  Recorder r;
  const int before = LiveWindowCount();
  r.Wnd = AllocateHWnd(BindMethod<&Recorder::Handle>(&r));
  EXPECT_TRUE(PostMessageW(r.Wnd, WM_APP + 1, 1, -1));
  EXPECT_TRUE(PostMessageW(r.Wnd, WM_USER, 2, 0));
  EXPECT_TRUE(r.Seen.empty());
  EXPECT_EQ(ProcessMessages(), 2);
  ASSERT_EQ(r.Seen.size(), 2u);
  EXPECT_EQ(r.Seen[0].Msg, WM_APP + 1);
  EXPECT_EQ(r.Seen[0].LParam, -1);
  EXPECT_EQ(r.Seen[1].WParam, 2u);

  // Destroyed from its own handler: what waited goes with it, later posts are refused.
  r.SelfDestroy = true;
  PostMessageW(r.Wnd, WM_APP, 3, 0);
  PostMessageW(r.Wnd, WM_APP, 4, 0);
  EXPECT_EQ(ProcessMessages(), 1);
  EXPECT_EQ(LiveWindowCount(), before);
  EXPECT_FALSE(WaitForMessage(0));
  EXPECT_FALSE(PostMessageW(r.Wnd, WM_APP, 0, 0));
  // A new window never gets the old handle, so the stale one stays dead.
  HWND fresh = AllocateHWnd(BindMethod<&Recorder::Handle>(&r));
  EXPECT_NE(fresh, r.Wnd);
  EXPECT_FALSE(PostMessageW(r.Wnd, WM_APP, 0, 0));
  DeallocateHWnd(r.Wnd);
  DeallocateHWnd(fresh);
  EXPECT_FALSE(PostMessageW(nullptr, WM_APP, 0, 0));
  EXPECT_EQ(AllocateHWnd(TWndMethod{}), nullptr);
}
