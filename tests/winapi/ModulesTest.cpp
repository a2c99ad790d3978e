#include <gtest/gtest.h>
#include <sys/stat.h>

#include <vector>

#include "WinapiTest.h"

namespace {

std::u16string FileNameOf(HMODULE module) {
  char16_t buf[4096];
  return std::u16string(buf, GetModuleFileNameW(module, buf, 4096));
}

}  // namespace

TEST(Modules, AProbeRunsNoCodeALoadDoesAndTheLastFreeUnloads) {
  const std::u16string path = W(QORB_FIXTURE_CTOR);
  ScratchDir dir;
  const fs::path trace = dir / "trace";  // the fixture's start-up code writes it
  setenv("QORB_CTOR_TRACE", trace.c_str(), 1);

  const HMODULE probe = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(probe, 0u) << GetLastError();
  EXPECT_FALSE(IsLibraryMapped(QORB_FIXTURE_CTOR));
  EXPECT_NE(GetProcAddress(probe, "FixtureAnswer"), nullptr);
  EXPECT_TRUE(FailsWith(ERROR_PROC_NOT_FOUND, [&] { return GetProcAddress(probe, "fixtureanswer"); }));
  EXPECT_TRUE(FailsWith(ERROR_PROC_NOT_FOUND, [&] { return GetProcAddress(probe, "LeaveTrace"); }));  // static
  EXPECT_EQ(FileNameOf(probe), path);
  EXPECT_FALSE(fs::exists(trace));
  // Gone before the load: a load of a file still probed would be the probe.
  EXPECT_TRUE(FreeLibrary(probe));
  EXPECT_TRUE(FailsWith(ERROR_INVALID_HANDLE, [&] { return GetProcAddress(probe, "FixtureAnswer"); }));

  const HMODULE a = LoadLibraryW(path.c_str()), b = LoadLibraryW(path.c_str());
  unsetenv("QORB_CTOR_TRACE");
  ASSERT_NE(a, 0u) << GetLastError();
  EXPECT_TRUE(fs::exists(trace));
  EXPECT_EQ(a, b);

  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(a, "FixtureAnswer"));
  auto data = reinterpret_cast<int*>(GetProcAddress(a, "FixtureData"));
  auto instance = reinterpret_cast<HMODULE (*)()>(GetProcAddress(a, "FixtureInstance"));
  ASSERT_TRUE(answer && data && instance);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(*data, 7);
  EXPECT_EQ(instance(), a);  // the library's own idea of its module
  // Reachable through the library's dependencies, but not its export.
  EXPECT_TRUE(FailsWith(ERROR_PROC_NOT_FOUND, [&] { return GetProcAddress(a, "malloc"); }));
  EXPECT_EQ(GetProcAddress(a, nullptr), nullptr);

  EXPECT_TRUE(FreeLibrary(a));
  EXPECT_TRUE(IsLibraryMapped(QORB_FIXTURE_CTOR));
  EXPECT_TRUE(FreeLibrary(b));
  EXPECT_FALSE(IsLibraryMapped(QORB_FIXTURE_CTOR));
  char16_t buf[MAX_PATH];
  EXPECT_TRUE(FailsWith(ERROR_INVALID_HANDLE, [&] { return FreeLibrary(a); }));
  EXPECT_TRUE(FailsWith(ERROR_INVALID_HANDLE, [&] { return GetModuleFileNameW(a, buf, MAX_PATH); }));
}

TEST(Modules, FilesThatAreNoLibraryFailWithTheirReason) {
  ScratchDir dir;
  // Named like a library, but a pipe nobody writes to: no file, and no wait.
  const fs::path pipe = dir / "pipe.dll";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::pair<std::string, DWORD> cases[] = {
      {(dir / "missing.so").string(), ERROR_MOD_NOT_FOUND},
      {"", ERROR_MOD_NOT_FOUND},
      {QORB_FIXTURE_EMPTY, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_TEXT, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_TRUNCATED_SO, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_AARCH64_SO, ERROR_BAD_EXE_FORMAT},
      {dir.path.string(), ERROR_ACCESS_DENIED},
      {pipe.string(), ERROR_ACCESS_DENIED},
  };
  for (const auto& [path, error] : cases) {
    const std::u16string p = W(path);
    EXPECT_TRUE(FailsWith(error, [&] { return LoadLibraryExW(p.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES); }))
        << path;
    EXPECT_TRUE(FailsWith(error, [&] { return LoadLibraryW(p.c_str()); })) << path;
  }
  EXPECT_TRUE(FailsWith(ERROR_INVALID_PARAMETER, [] { return LoadLibraryW(nullptr); }));

  // Sound but with a dependency the loader cannot find: the probe is
  // content, the load is not.
  const std::u16string needs = W(QORB_FIXTURE_NEEDS_MISSING);
  const HMODULE probe = LoadLibraryExW(needs.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(probe, 0u);
  EXPECT_NE(GetProcAddress(probe, "FixtureNeedsMissing"), nullptr);
  EXPECT_EQ(GetProcAddress(probe, "FixturePlain"), nullptr);  // imported, not exported
  EXPECT_TRUE(FreeLibrary(probe));
  EXPECT_TRUE(FailsWith(ERROR_MOD_NOT_FOUND, [&] { return LoadLibraryW(needs.c_str()); }));
}

TEST(Modules, LongFileNamesAreCutToTheBuffer) {
  // Longer than MAX_PATH, as a plug-in folder deep in a tree may be.
  ScratchDir dir;
  fs::path deep = dir.path;
  while (deep.string().size() < 300) deep /= std::string(40, 'd');
  fs::create_directories(deep);
  fs::copy_file(QORB_FIXTURE_NORES, deep / "lib.so");
  const std::u16string full = W((deep / "lib.so").string());
  const ScopedLibrary lib((deep / "lib.so").string());
  ASSERT_NE(lib.h, 0u) << GetLastError();

  // Room for the zero: whole; less: size - 1 units and a zero.
  std::vector<char16_t> buf(full.size() + 1, u'x');
  for (size_t size : {full.size() + 1, full.size(), size_t{MAX_PATH}}) {
    SetLastError(0);
    const bool whole = size > full.size();
    EXPECT_EQ(GetModuleFileNameW(lib, buf.data(), DWORD(size)), whole ? full.size() : size);
    EXPECT_TRUE(whole || GetLastError() == ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(std::u16string(buf.data()), full.substr(0, size - 1));
  }
  EXPECT_EQ(GetModuleFileNameW(lib, buf.data(), 0), 0u);
}

TEST(Modules, ModulesNotLoadedThroughUsHaveHandlesAndBogusHandlesAreRefused) {
  const std::u16string exe = FileNameOf(0);
  EXPECT_EQ(exe, W(fs::read_symlink("/proc/self/exe").string()));
  EXPECT_EQ(FileNameOf(HInstance()), exe);

  // The layer's own library, met through an address inside it; we hold no
  // reference to it, so there is none to give back.
  const HMODULE winapi = qorb::winapi::ModuleFromAddress(reinterpret_cast<const void*>(&GetLastError));
  EXPECT_EQ(fs::path(FileNameOf(winapi)).filename(), "libqorbwin.so");
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(winapi, "_Z12GetLastErrorv")),
            reinterpret_cast<void*>(&GetLastError));
  EXPECT_TRUE(FailsWith(ERROR_INVALID_HANDLE, [&] { return FreeLibrary(winapi); }));

  int onHeap = 0;
  for (HMODULE bogus : {HMODULE{0x1000}, HMODULE{0x11}, reinterpret_cast<HMODULE>(&onHeap), ~HMODULE{0}}) {
    char16_t buf[MAX_PATH];
    EXPECT_TRUE(FailsWith(ERROR_INVALID_HANDLE, [&] { return GetModuleFileNameW(bogus, buf, MAX_PATH); }));
    EXPECT_EQ(GetProcAddress(bogus, "FixtureAnswer"), nullptr);
    EXPECT_FALSE(FreeLibrary(bogus));
  }
}
