// Loading many libraries: finding each one's record asks the loader nothing
// that walks every mapped module, so the work per load stays the same
// however many are loaded; and unloaded libraries are remembered by range.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "WinapiTest.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"

namespace {

constexpr int kLibraries = 200;

struct Loaded {
  std::string path;
  HMODULE module = 0;
  const void* export_ = nullptr;
};

}  // namespace

TEST(ModuleScale, LoadingAndQuestioningCostsNoMoreWithManyLoadedAndUnloadedOnesAreNamed) {
  ScratchDir dir("qorb-scale");
  std::vector<Loaded> libs(kLibraries);
  for (int i = 0; i < kLibraries; ++i) {
    libs[i].path = (dir.path / ("copy" + std::to_string(i) + ".so")).string();
    fs::copy_file(QORB_FIXTURE_VERSIONED, libs[i].path);
  }

  // Walks made by the first hundred loads against the second hundred, each
  // load with the questions the host asks of a plug-in.
  size_t walks[2] = {0, 0};
  for (int i = 0; i < kLibraries; ++i) {
    const std::u16string name = W(libs[i].path);
    const size_t before = qorb::winapi::LoaderWalks();
    libs[i].module = LoadLibraryW(name.c_str());
    ASSERT_NE(libs[i].module, HMODULE{0}) << libs[i].path;
    libs[i].export_ = reinterpret_cast<const void*>(GetProcAddress(libs[i].module, "FixturePlain"));
    const bool missing = GetProcAddress(libs[i].module, "malloc") == nullptr;  // libc's, not the library's
    char16_t file[MAX_PATH];
    const bool named = GetModuleFileNameW(libs[i].module, file, MAX_PATH) != 0 && file == name;
    const bool versioned = FindResourceW(libs[i].module, MAKEINTRESOURCEW(1), RT_VERSION) != nullptr;
    walks[i < kLibraries / 2 ? 0 : 1] += qorb::winapi::LoaderWalks() - before;
    ASSERT_TRUE(libs[i].export_ && missing && named && versioned) << libs[i].path;
    // The handle is the load address of the module holding the export.
    EXPECT_EQ(qorb::winapi::ModuleFromAddress(libs[i].export_), libs[i].module);
  }
  EXPECT_EQ(walks[1], walks[0]);
  EXPECT_EQ(walks[0], 0u);

  for (auto it = libs.rbegin(); it != libs.rend(); ++it) ASSERT_TRUE(FreeLibrary(it->module));
  for (const Loaded& lib : libs) {
    std::string path;
    ASSERT_TRUE(qorb::winapi::FindUnloadedModule(lib.export_, path)) << lib.path;
    EXPECT_EQ(path, lib.path);
    // First and last byte of the range belong to it as well.
    ASSERT_TRUE(qorb::winapi::FindUnloadedModule(reinterpret_cast<const void*>(lib.module), path));
    EXPECT_EQ(path, lib.path);
  }
  std::string path;
  int local = 0;
  EXPECT_FALSE(qorb::winapi::FindUnloadedModule(&local, path));

  // A later unload over the same addresses answers with the later module.
  const std::u16string again = W(libs[7].path);
  const HMODULE reloaded = LoadLibraryW(again.c_str());
  ASSERT_NE(reloaded, HMODULE{0});
  const void* at = reinterpret_cast<const void*>(GetProcAddress(reloaded, "FixturePlain"));
  // While it is mapped again, the address is no unloaded library's.
  EXPECT_FALSE(qorb::winapi::FindUnloadedModule(at, path));
  ASSERT_TRUE(FreeLibrary(reloaded));
  ASSERT_TRUE(qorb::winapi::FindUnloadedModule(at, path));
  EXPECT_EQ(path, libs[7].path);
}
