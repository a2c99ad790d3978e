// What crash and hang reports ask of the thread watch: whose library held
// an address, mapped or unloaded since, and which plug-in a thread's stack
// belongs to.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "rtl/UnicodeString.h"
#include "winapi/Modules.h"
#include "workbench/PluginThreads.h"
#include "workbench/ThreadStacks.h"

TEST(PluginThreads, NameTheLibraryOfAnAddressBeforeAndAfterItsUnload) {
  // As the loader names it: with the platform's separator.
  const std::string path = (std::filesystem::path(QORB_THREAD_FIXTURE_DIR) / "Threaded.dll").make_preferred().string();
  TPluginThreads watch;
  const HMODULE module = LoadLibraryW(reinterpret_cast<LPCWSTR>(Utf8ToUtf16(path).c_str()));
  ASSERT_NE(module, 0u);
  // As a return address: one past a call inside the library.
  const uintptr_t inside = reinterpret_cast<uintptr_t>(GetProcAddress(module, "Shutdown")) + 1;
  const pid_t someThread = CurrentThreadId() + 100000;
  const uintptr_t ours = reinterpret_cast<uintptr_t>(&CurrentThreadId) + 1;
  const uintptr_t frames[] = {ours, inside, ours};  // innermost first; ours is no *.dll
  const char* owner = PluginOfThread(someThread, frames, 3);
  ASSERT_NE(owner, nullptr);
  EXPECT_TRUE(std::string(owner).ends_with("Threaded.dll")) << owner;
  EXPECT_EQ(UnloadedLibraryAt(inside - 1), nullptr);

  ASSERT_TRUE(FreeLibrary(module));
  const char* gone = UnloadedLibraryAt(inside - 1);
  ASSERT_NE(gone, nullptr);
  EXPECT_EQ(std::string(gone), path);
  owner = PluginOfThread(someThread, frames, 3);
  ASSERT_NE(owner, nullptr);
  EXPECT_EQ(std::string(owner), path);
  // Nothing of a plug-in on the stack: nobody's.
  EXPECT_EQ(PluginOfThread(someThread, frames, 1), nullptr);
  // Nothing ran there when it went.
  EXPECT_TRUE(watch.Left().empty());
}

// The number is asked of the system once per thread: another thread, and
// the child of a fork, still get their own.
TEST(ThreadId, IsEachThreadsOwnInAnotherThreadAndInAChildOfFork) {
  const pid_t mine = CurrentThreadId();
  pid_t other = 0;
  std::thread([&] { other = CurrentThreadId(); }).join();
  EXPECT_NE(other, 0);
  EXPECT_NE(other, mine);
  EXPECT_EQ(CurrentThreadId(), mine);
#if !defined(_WIN32)
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) ::_exit(CurrentThreadId() == ::getpid() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
}
