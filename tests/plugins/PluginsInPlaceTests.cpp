// A plug-in folder run in place, on both platforms: its plug-ins load, what
// did not load says the loader's own reason, and the private package folder
// goes.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>

#include "IdeRun.h"

namespace fs = std::filesystem;

TEST(PluginsInPlace, RunsAFolderOutsideTheIdeAndTellsWhatTheLoaderSaid) {
  ScratchDir mine("qorb-mine");
  fs::copy_file(FixturePath("alpha"), mine / "alpha.dll");
  fs::copy_file(FixturePath("needsmissing"), mine / "needsmissing.dll");
  fs::copy_file(FixturePath("initthrows"), mine / "initthrows.dll");
  fs::copy_file(FixturePath("beta"), mine / "libbeta.so");
  fs::copy_file(FixturePath("mangled"), mine / "mangled.dll");
  fs::create_directories(mine / "x64" / "Release");
  fs::copy_file(FixturePath("gamma"), mine / "x64" / "Release" / "gamma.dll");
  std::ofstream(mine / "readme.txt") << "not a plug-in\n";
  const IdeRun run = RunIde(InPlace(mine.path));
  EXPECT_EQ(run.status, 0) << run.err;
  // The host's texts: the fixed version, not the "FileVersion" string.
  EXPECT_NE(run.out.find("Plug-ins:\n  Alpha Tool  1.2.0.15  Tessary Systems\n"), std::string::npos) << run.out;
  // The loader's own words, whatever they are, then where it looked.
  EXPECT_TRUE(std::regex_search(run.out, std::regex("\n  needsmissing\\.dll: the loader refused it: [^\n(]*\\w[^\n(]* "
                                                    "\\(searched for libqorbmissing\\.(so|dll): ")))
      << run.out;
  EXPECT_EQ(run.out.find("no reason given"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("  initthrows.dll: did not stay loaded: its InitPlugin raised runtime_error: init failed\n"), std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find("  mangled.dll: exports no InitPlugin; InitPlugin is exported under its C++ name"),
            std::string::npos)
      << run.out;
  // Plug-ins where the host never looks are named too; other files are not.
  EXPECT_NE(run.out.find("\nPassed over:\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n  libbeta.so: exports InitPlugin but is not named *.dll"), std::string::npos) << run.out;
  const std::string nested = (fs::path("x64") / "Release" / "gamma.dll").string();
  EXPECT_NE(run.out.find("\n  " + nested + ": in a sub-folder: the host looks only directly in Plugins/\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.out.find("readme.txt"), std::string::npos) << run.out;

  // The private folder goes with the run. (Wine keeps a library whose load
  // failed mapped, and so its folder, until the process ends; a later run
  // removes it.)
  fs::remove(mine / "needsmissing.dll");
  const IdeRun clean = RunIde(InPlace(mine.path));
  std::smatch where;
  ASSERT_TRUE(std::regex_search(clean.out, where, std::regex("\n    ([^\n]*)[/\\\\]Plugins[/\\\\]alpha\\.dll\n")))
      << clean.out;
  EXPECT_NE(fs::path(where[1].str()), mine.path);
  EXPECT_FALSE(fs::exists(where[1].str()));
  EXPECT_TRUE(fs::exists(mine / "alpha.dll"));

  EXPECT_EQ(RunIde(InPlace(mine / "nowhere")).status, 1);
}
