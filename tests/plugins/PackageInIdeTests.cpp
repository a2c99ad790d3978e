// The real package in the simulated IDE, with plug-ins that use the
// contract through nothing but the C header's layouts and method tables.
#include <gtest/gtest.h>

#include <vector>

#include "PluginFolder.h"
#include "ide/IDE.h"
#include "workbench/LoadedModules.h"
#include "workbench/MessageViewReport.h"

TEST(PackageInIde, PluginsInCReachTheServicesThroughRawLayouts) {
  PluginFolder folder(PluginFolder::Layout::WithPlugins, QORB_PACKAGE_PATH);
  folder.AddFixture("askide");
  const auto example = folder.AddPlugin(QORB_C_EXAMPLE_PATH);
  {
    TIDE ide;
    ASSERT_TRUE(ide.LoadPackage(folder.PackagePath()));
    ide.MainLoop().RunUntilIdle();
    // The IDE's services object answers its interfaces; an identifier that
    // nothing supports leaves the result null, releasing what it held.
    const std::string trace = PluginFolder::TakeTrace();
    EXPECT_NE(trace.find("init askide;native found;unknown null;"), std::string::npos) << trace;

    // The C example wrote every field of every module it was told about.
    const std::string messages = FormatQorbMessages(ide);
    EXPECT_NE(messages.find("[SuiteInfo] [Info] Host: Qorb Tool-Suite for Delphi | 1.0.0.0 | Tessary Systems | "
                            "Copyright (c) 2026 Tessary Systems | Qorb host package | "
                            "Hosts the Qorb plug-ins inside the IDE | " +
                            folder.PackagePath().string() + "\n"),
              std::string::npos)
        << messages;
    // What the IDE shows of the plug-ins mapped from the package's folder.
    const std::string modules = FormatLoadedModules(LoadedModulesIn(folder.PluginsDir()));
    EXPECT_NE(modules.find("  Qorb Suite Info  0.9.1.4  Tessary Systems\n    " + example.string() + "\n"),
              std::string::npos)
        << modules;
    EXPECT_NE(modules.find("  askide.dll\n"), std::string::npos) << modules;
    // Plug-ins listed before it: its own record is not there yet.
    EXPECT_EQ(messages.find("Qorb Suite Info | 0.9.1.4"), std::string::npos) << messages;
    EXPECT_TRUE(ide.Shutdown().empty());
  }
  EXPECT_FALSE(IsLibraryMapped(example));
  EXPECT_FALSE(IsLibraryMapped(folder.PackagePath()));
}

// What the IDE tells a plug-in author about the files the host passed over.
TEST(PackageInIde, FilesTheHostPassedOverAreNamedWithTheirReason) {
  PluginFolder folder(PluginFolder::Layout::WithPlugins, QORB_PACKAGE_PATH);
  folder.AddFixture("alpha");
  folder.AddFixture("noinit");
  folder.AddFixture("noshutdown");
  folder.AddFixture("initthrows");
  folder.AddFile("notes.dll", "just text");
  std::filesystem::create_directory(folder.PluginsDir() / "folder.dll");
  std::vector<const char*> expected = {"Not loaded:\n", "\n  noinit.dll: exports no InitPlugin\n",
                                       "\n  noshutdown.dll: exports no Shutdown\n",
                                       "\n  initthrows.dll: did not stay loaded: a library it needs is missing, or its "
                                       "InitPlugin raised\n",
                                       "\n  notes.dll: not a library this IDE can load: "};
  std::vector<const char*> loadedNames = {"alpha.dll"};
#if !defined(_WIN32)
  // Windows lets few accounts make links.
  // A plug-in kept elsewhere and linked in is loaded from Plugins/ all the same.
  std::filesystem::create_symlink(FixturePath("gamma"), folder.PluginsDir() / "linked.dll");
  loadedNames.push_back("linked.dll");
  // Links that lead nowhere: the author meant a plug-in there.
  std::filesystem::create_symlink("gone.dll", folder.PluginsDir() / "dangling.dll");
  std::filesystem::create_symlink("round.dll", folder.PluginsDir() / "round.dll");
  expected.push_back("\n  dangling.dll: a link to gone.dll, which does not exist\n");
  expected.push_back("\n  round.dll: a link that goes round in a loop\n");
#endif
  {
    TIDE ide;
    ASSERT_TRUE(ide.LoadPackage(folder.PackagePath()));
    const std::vector<TLoadedModule> loaded = LoadedModulesIn(folder.PluginsDir());
    const std::string skipped = FormatSkippedFiles(SkippedFilesIn(folder.PluginsDir(), loaded));
    for (const char* line : expected) EXPECT_NE(skipped.find(line), std::string::npos) << line << "\n" << skipped;
    for (const char* loadedName : loadedNames)
      EXPECT_EQ(skipped.find(loadedName), std::string::npos) << skipped;
    EXPECT_EQ(skipped.find("folder.dll"), std::string::npos) << skipped;
    EXPECT_TRUE(ide.Shutdown().empty());
  }
  PluginFolder::TakeTrace();
}
