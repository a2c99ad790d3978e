// What crash and hang reports ask of the thread watch: whose library held
// an address, mapped or unloaded since, and which plug-in a thread's stack
// belongs to.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

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
