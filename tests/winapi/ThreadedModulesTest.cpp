// Loading, probing, asking and freeing from several threads at once: the
// reference counts and the shared file reads must hold up, and the library
// must be gone when the last reference is.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TestPaths.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"
#include "winapi/Version.h"

TEST(ThreadedModules, ConcurrentLoadsProbesAndQueriesKeepCountsRight) {
  const std::u16string ctor = W(QORB_FIXTURE_CTOR);
  const std::u16string version = W(QORB_FIXTURE_VERSION);
  std::atomic<int> failures{0};
  auto work = [&] {
    for (int i = 0; i < 100; ++i) {
      const HMODULE lib = LoadLibraryW(ctor.c_str());
      const HMODULE probe = LoadLibraryExW(version.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
      if (!lib || !probe) {
        ++failures;
        continue;
      }
      char16_t name[MAX_PATH];
      if (GetModuleFileNameW(lib, name, MAX_PATH) == 0) ++failures;
      const HRSRC res = FindResourceW(lib, u"payload", RT_RCDATA);
      if (!res || SizeofResource(lib, res) == 0 || !LockResource(LoadResource(lib, res))) ++failures;
      if (!GetProcAddress(lib, "FixtureAnswer") || !GetProcAddress(probe, "FixturePlain")) ++failures;
      if (GetFileVersionInfoSizeW(version.c_str(), nullptr) == 0) ++failures;
      if (GetModuleFileNameW(HInstance(), name, MAX_PATH) == 0) ++failures;
      if (!FreeLibrary(probe) || !FreeLibrary(lib)) ++failures;
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(work);
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);

  void* still = dlopen(QORB_FIXTURE_CTOR, RTLD_NOW | RTLD_NOLOAD);
  EXPECT_EQ(still, nullptr);
  if (still) dlclose(still);
}
