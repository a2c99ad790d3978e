// The loader walks its records of all loaded libraries on every load and
// unload; what the host keeps on the heap between two loads pushes those
// records apart (in qorb-ide with a thousand plug-ins they once lay 15 KB
// apart, against a bare loader's 1.5 KB) and every walk gets slower. How
// far apart they lie is counted here, against a bare dlopen of the same
// files.
#include <dlfcn.h>
#include <link.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "PluginFolder.h"

#if !defined(__SANITIZE_ADDRESS__)  // a sanitizer's allocator lays out blocks its own way
namespace {

constexpr int kPlugins = 60;

uintptr_t LinkMapOf(const void* address) {
  Dl_info info;
  link_map* map = nullptr;
  if (!dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP)) return 0;
  return reinterpret_cast<uintptr_t>(map);
}

// The middle distance between the records of libraries loaded one after
// the other.
uintptr_t MedianGap(const std::vector<uintptr_t>& maps) {
  std::vector<uintptr_t> gaps;
  for (size_t i = 1; i < maps.size(); ++i)
    gaps.push_back(maps[i] > maps[i - 1] ? maps[i] - maps[i - 1] : maps[i - 1] - maps[i]);
  std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
  return gaps[gaps.size() / 2];
}

}  // namespace

TEST(PluginList, KeepsTheLoadersRecordsOfItsPluginsAsCloseTogetherAsABareLoaderDoes) {
  PluginFolder folder;
  for (int i = 0; i < kPlugins; ++i) folder.AddFixture("quiet", "quiet" + std::to_string(i) + ".dll");
  ScratchDir bareDir("qorb-bare");
  std::vector<std::string> bareFiles;
  for (int i = 0; i < kPlugins; ++i) {
    bareFiles.push_back((bareDir.path / ("quiet" + std::to_string(i) + ".so")).string());
    std::filesystem::copy_file(folder.PluginsDir() / "quiet0.dll", bareFiles.back());
  }

  std::vector<void*> bare;
  std::vector<uintptr_t> bareMaps;
  for (const std::string& file : bareFiles) {
    bare.push_back(::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL));
    ASSERT_NE(bare.back(), nullptr) << file;
    link_map* map = nullptr;
    ASSERT_EQ(::dlinfo(bare.back(), RTLD_DI_LINKMAP, &map), 0);
    bareMaps.push_back(reinterpret_cast<uintptr_t>(map));
  }
  for (auto it = bare.rbegin(); it != bare.rend(); ++it) ::dlclose(*it);

  const TestHostApi& host = folder.Start();
  const DynArray<TLoadedPlugin> loaded = host.GetLoadedPlugins();
  ASSERT_EQ(loaded.size(), static_cast<size_t>(kPlugins));
  std::vector<uintptr_t> ours;
  for (const TLoadedPlugin& p : loaded) {
    ASSERT_NE(p.Graphic, nullptr);  // the icon is decoded and kept, as the version texts are
    ours.push_back(LinkMapOf(reinterpret_cast<const void*>(p.ShutdownProc)));
    ASSERT_NE(ours.back(), 0u);
  }

  // The host's own records of a plug-in (its texts, its icon, the handle
  // table's entry, the call log) lie elsewhere.
  const uintptr_t ourGap = MedianGap(ours), bareGap = MedianGap(bareMaps);
  EXPECT_LE(ourGap, bareGap + 1024) << "records " << ourGap << " bytes apart, a bare loader's " << bareGap;
}
#endif
