#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestPaths.h"
#include "winapi/LastError.h"
#include "winapi/Modules.h"

namespace fs = std::filesystem;

namespace {

bool IsMapped(const char* path) {
  void* h = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
  if (h) dlclose(h);
  return h != nullptr;
}

std::u16string FileNameOf(HMODULE module) {
  std::vector<char16_t> buf(4096);
  const DWORD n = GetModuleFileNameW(module, buf.data(), static_cast<DWORD>(buf.size()));
  return std::u16string(buf.data(), n);
}

class TraceFile {
 public:
  TraceFile() : path_(dir_ / "trace") { setenv("QORB_CTOR_TRACE", path_.c_str(), 1); }
  ~TraceFile() { unsetenv("QORB_CTOR_TRACE"); }
  bool Written() const { return fs::exists(path_); }

 private:
  ScratchDir dir_;
  fs::path path_;
};

}  // namespace

TEST(Modules, ProbeRunsNoCodeYetAnswersForExports) {
  TraceFile trace;
  const HMODULE probe = LoadLibraryExW(W(QORB_FIXTURE_CTOR).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(probe, 0u) << GetLastError();
  EXPECT_FALSE(trace.Written());
  EXPECT_FALSE(IsMapped(QORB_FIXTURE_CTOR));

  EXPECT_NE(GetProcAddress(probe, "FixtureAnswer"), nullptr);
  EXPECT_NE(GetProcAddress(probe, "FixtureData"), nullptr);
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(probe, "LeaveTrace"), nullptr);  // not exported
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(probe, "fixtureanswer"), nullptr);  // export names keep their case
  EXPECT_EQ(FileNameOf(probe), W(QORB_FIXTURE_CTOR));

  EXPECT_TRUE(FreeLibrary(probe));
  EXPECT_FALSE(trace.Written());
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(probe, "FixtureAnswer"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FreeLibrary(probe));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(Modules, LoadRunsStartupCodeAndFindsOnlyOwnExports) {
  TraceFile trace;
  const HMODULE lib = LoadLibraryW(W(QORB_FIXTURE_CTOR).c_str());
  ASSERT_NE(lib, 0u) << GetLastError();
  EXPECT_TRUE(trace.Written());

  auto answer = reinterpret_cast<int (*)()>(GetProcAddress(lib, "FixtureAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  auto data = reinterpret_cast<int*>(GetProcAddress(lib, "FixtureData"));
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(*data, 7);
  // The library's own idea of its module is the handle it was loaded as.
  auto instance = reinterpret_cast<HMODULE (*)()>(GetProcAddress(lib, "FixtureInstance"));
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance(), lib);
  EXPECT_EQ(FileNameOf(lib), W(QORB_FIXTURE_CTOR));

  // Reachable through the library's dependencies, but not its export.
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(lib, "malloc"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);
  EXPECT_EQ(GetProcAddress(lib, nullptr), nullptr);

  EXPECT_TRUE(FreeLibrary(lib));
  EXPECT_FALSE(IsMapped(QORB_FIXTURE_CTOR));
}

TEST(Modules, LastFreeLibraryReallyUnloads) {
  for (const char* path : {QORB_FIXTURE_NORES, QORB_FIXTURE_CTOR}) {
    SCOPED_TRACE(path);
    const HMODULE a = LoadLibraryW(W(path).c_str());
    const HMODULE b = LoadLibraryW(W(path).c_str());
    ASSERT_NE(a, 0u);
    EXPECT_EQ(a, b);
    // A probe of a loaded library neither disturbs nor shares its count.
    const HMODULE probe = LoadLibraryExW(W(path).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(probe, 0u);
    EXPECT_NE(probe, a);
    EXPECT_TRUE(FreeLibrary(probe));

    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_TRUE(IsMapped(path));
    EXPECT_TRUE(GetProcAddress(b, "FixturePlain") || GetProcAddress(b, "FixtureAnswer"));
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_FALSE(IsMapped(path));

    // The handle is stale now.
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    char16_t buf[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(a, buf, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  }
}

TEST(Modules, FilesThatAreNoLibraryFailWithTheirReason) {
  ScratchDir dir;
  struct Case {
    std::string path;
    DWORD error;
  };
  const Case cases[] = {
      {(dir / "missing.so").string(), ERROR_MOD_NOT_FOUND},
      {QORB_FIXTURE_EMPTY, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_TEXT, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_TRUNCATED_SO, ERROR_BAD_EXE_FORMAT},
      {QORB_FIXTURE_AARCH64_SO, ERROR_BAD_EXE_FORMAT},
      {dir.path().string(), ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryExW(W(c.path).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES), 0u);
    EXPECT_EQ(GetLastError(), c.error);
    SetLastError(0);
    EXPECT_EQ(LoadLibraryW(W(c.path).c_str()), 0u);
    EXPECT_EQ(GetLastError(), c.error);
  }

  // Sound but with a dependency the loader cannot find: the probe is
  // content, the load is not.
  const HMODULE probe = LoadLibraryExW(W(QORB_FIXTURE_NEEDS_MISSING).c_str(), nullptr, 1);
  ASSERT_NE(probe, 0u);
  EXPECT_NE(GetProcAddress(probe, "FixtureNeedsMissing"), nullptr);
  EXPECT_EQ(GetProcAddress(probe, "FixturePlain"), nullptr);  // imported, not exported
  FreeLibrary(probe);
  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(W(QORB_FIXTURE_NEEDS_MISSING).c_str()), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  SetLastError(0);
  EXPECT_EQ(LoadLibraryW(nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(LoadLibraryW(u""), 0u);
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);
}

TEST(Modules, LongFileNamesAreCutToTheBuffer) {
  // A path longer than MAX_PATH, as a plug-in folder deep in a tree may be.
  ScratchDir dir;
  fs::path deep = dir.path();
  while (deep.string().size() < 300) deep /= std::string(40, 'd');
  fs::create_directories(deep);
  const fs::path lib = deep / "long-named-library.so";
  fs::copy_file(QORB_FIXTURE_NORES, lib);

  const HMODULE h = LoadLibraryW(W(lib.string()).c_str());
  ASSERT_NE(h, 0u) << GetLastError();
  const std::u16string full = W(lib.string());

  char16_t buf[MAX_PATH];
  SetLastError(0);
  EXPECT_EQ(GetModuleFileNameW(h, buf, MAX_PATH), MAX_PATH);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(buf[MAX_PATH - 1], u'\0');
  EXPECT_EQ(std::u16string(buf), full.substr(0, MAX_PATH - 1));

  // Exactly room for the zero: no cut; one unit less: cut.
  std::vector<char16_t> fits(full.size() + 1, u'x');
  EXPECT_EQ(GetModuleFileNameW(h, fits.data(), static_cast<DWORD>(fits.size())), full.size());
  EXPECT_EQ(std::u16string(fits.data()), full);
  EXPECT_EQ(GetModuleFileNameW(h, fits.data(), static_cast<DWORD>(full.size())), full.size());
  EXPECT_EQ(std::u16string(fits.data()), full.substr(0, full.size() - 1));
  EXPECT_EQ(GetModuleFileNameW(h, fits.data(), 0), 0u);

  EXPECT_TRUE(FreeLibrary(h));
}

TEST(Modules, ModulesNotLoadedThroughUsHaveHandlesToo) {
  const HMODULE self = HInstance();
  ASSERT_NE(self, 0u);
  const std::u16string exe = FileNameOf(0);
  EXPECT_EQ(exe, W(fs::read_symlink("/proc/self/exe").string()));
  EXPECT_EQ(FileNameOf(self), exe);
  SetLastError(0);
  EXPECT_EQ(GetProcAddress(self, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_PROC_NOT_FOUND);

  // The layer's own library, met through an address inside it.
  const HMODULE winapi = qorb::winapi::ModuleFromAddress(reinterpret_cast<const void*>(&GetLastError));
  ASSERT_NE(winapi, 0u);
  EXPECT_NE(winapi, self);
  EXPECT_EQ(fs::path(Narrow(FileNameOf(winapi))).filename(), "libqorbwin.so");
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(winapi, "_Z12GetLastErrorv")),
            reinterpret_cast<void*>(&GetLastError));
  // We hold no reference to it, so there is none to give back.
  EXPECT_FALSE(FreeLibrary(winapi));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);

  // Handles that name nothing are answered, not followed.
  int onHeap = 0;
  for (HMODULE bogus : {HMODULE{0x1000}, HMODULE{0x11}, reinterpret_cast<HMODULE>(&onHeap), ~HMODULE{0}}) {
    char16_t buf[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetModuleFileNameW(bogus, buf, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(GetProcAddress(bogus, "FixtureAnswer"), nullptr);
    EXPECT_FALSE(FreeLibrary(bogus));
  }
}
