// Loads, probes, questions and frees from several threads at once: counts
// and the shared file reads must hold, and the last free must unload.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "WinapiTest.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"

TEST(ThreadedModules, ConcurrentLoadsProbesAndQueriesKeepCountsRight) {
  const std::u16string ctor = W(QORB_FIXTURE_CTOR), version = W(QORB_FIXTURE_VERSIONED);
  std::atomic<int> failures{0};
  auto work = [&] {
    for (int i = 0; i < 100; ++i) {
      const HMODULE lib = LoadLibraryW(ctor.c_str());
      const HMODULE probe = LoadLibraryExW(version.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
      char16_t name[MAX_PATH];
      const HRSRC res = FindResourceW(lib, u"payload", RT_RCDATA);
      const bool ok = lib && probe && GetModuleFileNameW(lib, name, MAX_PATH) && res && SizeofResource(lib, res) &&
                      LockResource(LoadResource(lib, res)) && GetProcAddress(lib, "FixtureAnswer") &&
                      GetProcAddress(probe, "FixturePlain") && GetFileVersionInfoSizeW(version.c_str(), nullptr);
      if (!ok || !FreeLibrary(probe) || !FreeLibrary(lib)) ++failures;
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(work);
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  EXPECT_FALSE(IsLibraryMapped(QORB_FIXTURE_CTOR));
}
