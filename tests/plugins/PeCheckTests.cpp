// qorb-ide check on Windows: what a PE file's tables say about why the host
// would not load it, with the same reasons and hints as for ELF files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "PluginFolder.h"
#include "ide/ExecutableDirectory.h"
#include "workbench/PluginCheck.h"

namespace fs = std::filesystem;

TEST(CheckCommandOnWindows, NamesWhyEachPeFileWouldNotLoadWithTheSameHints) {
  ScratchDir zoo("qorb-pe-zoo");
  const fs::path plugins = zoo / "Plugins";
  fs::create_directories(plugins);
  auto copy = [&](const std::string& fixture) {
    const fs::path to = plugins / (fixture + ".dll");
    fs::copy_file(FixturePath(fixture), to);
    return to;
  };
  std::ofstream(plugins / "notes.dll") << "just text\n";
  // A library built for another machine: alpha.dll with its header's
  // machine type made ARM64's.
  fs::copy_file(FixturePath("alpha"), plugins / "arm64.dll");
  {
    std::fstream f(plugins / "arm64.dll", std::ios::in | std::ios::out | std::ios::binary);
    uint32_t peAt = 0;
    f.seekg(0x3C).read(reinterpret_cast<char*>(&peAt), 4);
    const uint16_t arm64 = 0xAA64;
    f.seekp(peAt + 4).write(reinterpret_cast<const char*>(&arm64), 2);
    ASSERT_TRUE(f.good());
  }
  struct Case {
    fs::path file;
    const char* reason;  // null: would load
    const char* hint;
  };
  const Case cases[] = {
      {copy("alpha"), nullptr, nullptr},
      {QORB_CPP_EXAMPLE_PATH, nullptr, nullptr},
      {copy("noinit"), "would not load: exports no InitPlugin\n", nullptr},
      {copy("noshutdown"), "would not load: exports no Shutdown\n", nullptr},
      {copy("mangled"), "would not load: exports no InitPlugin\n",
       "hint: InitPlugin is exported under its C++ name \"_Z10InitPlugin"},
      {copy("hidden"), "would not load: exports no InitPlugin\n", "hint: InitPlugin is defined but not exported"},
      {copy("needsmissing"), "would not load: needs libqorbmissing.dll, which the loader cannot find; searched: ",
       nullptr},
      {plugins / "notes.dll", "would not load: not a library for this machine: not a PE file\n", nullptr},
      {plugins / "arm64.dll", "would not load: not a library for this machine: a file for ARM64\n", nullptr},
  };
  for (const Case& c : cases) {
    const std::string text = FormatPluginCheck(CheckPluginFile(c.file));
    EXPECT_EQ(text.find("would load\n") != std::string::npos, c.reason == nullptr) << text;
    if (c.reason) {
      EXPECT_NE(text.find(c.reason), std::string::npos) << c.reason << "\n" << text;
    }
    if (c.hint) {
      EXPECT_NE(text.find(c.hint), std::string::npos) << c.hint << "\n" << text;
    }
  }
  // The folders the loader looks in for what a plug-in loaded by its full
  // path (LoadLibraryW) imports: the program's, then the system's; never
  // the plug-in's own, which check points out when the library lies there.
  const std::string missing = FormatPluginCheck(CheckPluginFile(plugins / "needsmissing.dll"));
  const size_t searched = missing.find("searched: ");
  ASSERT_NE(searched, std::string::npos) << missing;
  EXPECT_EQ(missing.find(ExecutableDirectory().string() + " ", searched), searched + 10) << missing;
  EXPECT_NE(missing.find("system32", searched), std::string::npos) << missing;
  EXPECT_EQ(missing.find(plugins.string() + " ", searched), std::string::npos) << missing;
  EXPECT_EQ(missing.find("lies in the folder"), std::string::npos) << missing;
  fs::copy_file(fs::path(FixturePath("needsmissing")).parent_path().parent_path() / "never-installed" /
                    "libqorbmissing.dll",
                plugins / "libqorbmissing.dll");
  const std::string beside = FormatPluginCheck(CheckPluginFile(plugins / "needsmissing.dll"));
  EXPECT_NE(beside.find("; libqorbmissing.dll lies in the folder of needsmissing.dll, where the loader does not look"),
            std::string::npos)
      << beside;
}
