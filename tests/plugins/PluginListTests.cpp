#include <gtest/gtest.h>

#include "PluginFolder.h"
#include "winapi/Gdi.h"

namespace {

std::string NameOf(const TLoadedPlugin& p) {
  const std::string path = p.FilePath.ToUtf8();
  const size_t slash = path.find_last_of("/\\");
  return path.substr(slash + 1, path.size() - slash - 5);
}

using Texts = std::vector<std::u16string>;
Texts TextsOf(const TLoadedPlugin& p) {
  Texts r;
  for (const UnicodeString* t : {&p.Name, &p.Version, &p.Company, &p.Copyright, &p.Description, &p.Comments})
    r.emplace_back(t->view());
  return r;
}

}  // namespace

// A plug-in asking for the list during its InitPlugin sees only those
// loaded before it; all shut down in reverse order, then unload in reverse.
TEST(PluginList, InitSeesEarlierOnesAndShutdownsPrecedeUnloadsBothInReverse) {
  PluginFolder folder;
  for (const char* name : {"alpha", "beta", "asker"}) folder.AddFixture(name);
  const TestHostApi& host = folder.Start();

  const DynArray<TLoadedPlugin> loaded = host.GetLoadedPlugins();
  ASSERT_EQ(loaded.size(), 3u);
  std::string expectedStart, expectedEnd;
  for (size_t i = 0; i < loaded.size(); ++i) {
    const std::string name = NameOf(loaded[i]);
    expectedStart += "ctor " + name + ";init " + name + ";" + (name == "asker" ? "sees " + std::to_string(i) + ";" : "");
  }
  EXPECT_EQ(PluginFolder::TakeTrace(), expectedStart);

  host.UnloadPlugins();
  for (size_t i = loaded.size(); i-- > 0;) expectedEnd += "shutdown " + NameOf(loaded[i]) + ";";
  for (size_t i = loaded.size(); i-- > 0;) expectedEnd += "dtor " + NameOf(loaded[i]) + ";";
  EXPECT_EQ(PluginFolder::TakeTrace(), expectedEnd);
  for (const auto& p : loaded) EXPECT_FALSE(IsLibraryMapped(p.FilePath.ToUtf8()));

  // The snapshot taken before unloading keeps its entries; a second
  // unload finds nothing to do.
  EXPECT_EQ(loaded.size(), 3u);
  EXPECT_TRUE(host.GetLoadedPlugins().empty());
  host.UnloadPlugins();
  EXPECT_EQ(PluginFolder::TakeTrace(), "");
}

// Resource writers disagree on how a text's stored length is counted (bytes
// or characters, with or without the zero, even typed as binary): the texts
// of "oddlengths" run to their zero all the same.
TEST(PluginList, RecordsVersionTextsPathAndIcon) {
  PluginFolder folder;
  const auto alphaPath = folder.AddFixture("alpha");
  for (const char* name : {"beta", "badicon", "oddlengths"}) folder.AddFixture(name);
  folder.AddFixture("gamma", ".dll");  // nothing but the extension: matches
  const TestHostApi& host = folder.Start();
  const DynArray<TLoadedPlugin> loaded = host.GetLoadedPlugins();
  ASSERT_EQ(loaded.size(), 5u);
  for (const auto& p : loaded) {
    EXPECT_NE(p.Module, 0u);
    EXPECT_NE(p.ShutdownProc, nullptr);
    EXPECT_FALSE(p.FilePath.IsEmpty());
    const std::string name = NameOf(p);
    if (name == "alpha") {
      EXPECT_EQ(p.FilePath.ToUtf8(), alphaPath.string());
      // The fixed version wins over "1.2 beta".
      EXPECT_EQ(TextsOf(p), (Texts{u"Alpha Tool", u"1.2.0.15", u"Tessary Systems", u"(c) 2026 Tessary Systems",
                                   u"Alpha test plug-in", u"first"}));
      ASSERT_NE(p.Graphic, nullptr);
      EXPECT_EQ(p.Graphic->Width(), 32);
      EXPECT_EQ(p.Graphic->Height(), 32);
    } else if (name == "oddlengths") {
      EXPECT_EQ(p.Name, u"Odd Lengths");
      EXPECT_EQ(p.Company, u"Tessary Systems");
      EXPECT_EQ(p.Comments, u"read to the zero");
    } else {
      // No version resource, or an icon that is not a PNG: listed all the same.
      EXPECT_EQ(TextsOf(p), Texts(6));
      EXPECT_EQ(p.Graphic, nullptr);
    }
  }
  EXPECT_EQ(host.GetPluginDir().ToUtf8(), (folder.PluginsDir() / "").string());
  // The icon outlives its library: the cache frees it with the list.
  const long bitmaps = GdiLiveObjectCount();
  host.UnloadPlugins();
  EXPECT_EQ(GdiLiveObjectCount(), bitmaps);
  folder.Stop();
  EXPECT_EQ(GdiLiveObjectCount(), bitmaps - 1);
}

TEST(PluginService, ReplacesOldContentsAndDescribesHostAndPlugins) {
  PluginFolder folder;
  folder.AddFixture("alpha");
  folder.AddFixture("beta");
  const TestHostApi& host = folder.Start();

  TQorbPluginServiceInfo info;
  info.Host.Name = UnicodeString(u"stale");
  info.Host.Comments = UnicodeString(u"stale");
  info.Plugins.SetLength(5);
  info.Plugins[4].Name = UnicodeString(u"stale");
  host.GetPluginInfos(info);
  EXPECT_TRUE(info.Host.Name.IsEmpty());  // the stand-in package has no version resource
  EXPECT_TRUE(info.Host.Comments.IsEmpty());
  EXPECT_EQ(info.Host.FilePath.ToUtf8(), folder.PackagePath().string());
  ASSERT_EQ(info.Plugins.size(), 2u);
  const DynArray<TLoadedPlugin> loaded = host.GetLoadedPlugins();
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(info.Plugins[i].FilePath, loaded[i].FilePath);
    EXPECT_EQ(info.Plugins[i].Name, loaded[i].Name);
    EXPECT_EQ(info.Plugins[i].Version, loaded[i].Version);
  }

  host.UnloadPlugins();
  host.GetPluginInfos(info);
  EXPECT_EQ(info.Plugins.Raw(), nullptr);
  EXPECT_FALSE(info.Host.FilePath.IsEmpty());
}

TEST(PluginList, FolderThatIsMissing) {
  PluginFolder folder(PluginFolder::Layout::NoPlugins);
  const TestHostApi& host = folder.Start();
  EXPECT_TRUE(host.GetLoadedPlugins().empty());
  EXPECT_EQ(PluginFolder::TakeTrace(), "");
}

#if !defined(_WIN32)
// Symbolic links need a privilege on Windows that a user lacks by default.
TEST(PluginListOnLinux, ALinkToAFolderCountsAsTheFolder) {
  PluginFolder folder(PluginFolder::Layout::PluginsIsALink);
  folder.AddFixture("alpha");
  const TestHostApi& host = folder.Start();
  EXPECT_EQ(host.GetLoadedPlugins().size(), 1u);
}
#endif
