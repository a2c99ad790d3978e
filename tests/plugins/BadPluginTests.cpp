#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "PluginFolder.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Loads the folder, unloads it again, and answers the trace of the whole run.
std::string RunHost(PluginFolder& folder, size_t expectListed) {
  const TestHostApi& host = folder.Start();
  EXPECT_EQ(host.GetLoadedPlugins().size(), expectListed);
  host.UnloadPlugins();
  folder.Stop();
  return PluginFolder::TakeTrace();
}

}  // namespace

// Without InitPlugin its code never runs; without Shutdown it is loaded
// and unloaded but never initialised.
TEST(BadPlugins, LibrariesMissingAnExportAreNeverInitialised) {
  PluginFolder folder;
  const auto noinit = folder.AddFixture("noinit"), noshutdown = folder.AddFixture("noshutdown");
  EXPECT_EQ(RunHost(folder, 0), "ctor noshutdown;dtor noshutdown;");
  EXPECT_FALSE(IsLibraryMapped(noinit));
  EXPECT_FALSE(IsLibraryMapped(noshutdown));
}

TEST(BadPlugins, ThrowingExportsAreAbsorbed) {
  PluginFolder folder;
  const auto failing = folder.AddFixture("initthrows");
  folder.AddFixture("shutdownthrows");
  folder.AddFixture("alpha");
  const std::string trace = RunHost(folder, 2);
  // The failed one is shut down once right away; the others all shut down
  // and unload even though one shutdown raises.
  EXPECT_NE(trace.find("init initthrows;shutdown initthrows;"), std::string::npos);
  EXPECT_EQ(trace.find("shutdown initthrows"), trace.rfind("shutdown initthrows"));
  EXPECT_NE(trace.find("shutdown shutdownthrows;"), std::string::npos);
  EXPECT_NE(trace.find("shutdown alpha;"), std::string::npos);
  EXPECT_NE(trace.find("dtor alpha;"), std::string::npos);
  EXPECT_FALSE(IsLibraryMapped(failing));
}

TEST(BadPlugins, FilesThatAreNotLoadablePluginsAreSkippedQuietly) {
  PluginFolder folder;
  std::vector<std::filesystem::path> paths;
  paths.push_back(folder.AddFixture("needsmissing"));
  paths.push_back(folder.AddFile("notes.dll", "just some text, not a library\n"));
  std::string garbled = ReadFile(FixturePath("beta"));
  for (size_t i = 64; i < garbled.size(); i += 7) garbled[i] = static_cast<char>(garbled[i] ^ 0x5A);
  paths.push_back(folder.AddFile("garbled.dll", garbled));
  // Not plug-ins by name or kind: a sub-folder and another extension.
  std::filesystem::create_directory(folder.PluginsDir() / "sub.dll");
  std::filesystem::copy_file(FixturePath("gamma"), folder.PluginsDir() / "sub.dll" / "inner.dll");
  folder.AddFixture("gamma", "gamma.dll.off");
  // The mask ignores case.
  folder.AddFixture("beta", "BETA.DLL");

  const std::string trace = RunHost(folder, 1);
  EXPECT_EQ(trace, "ctor beta;init beta;shutdown beta;dtor beta;");
  for (const auto& p : paths) EXPECT_FALSE(IsLibraryMapped(p)) << p;
}
