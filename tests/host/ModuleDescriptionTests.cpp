// What the host reads about a module: its version texts and its icon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugins/Qorb.Main.PluginGraphics.h"
#include "plugins/Qorb.Main.VersionInfo.h"
#include "tests/support/TestSupport.h"
#include "winapi/Gdi.h"
#include "winapi/Modules.h"

// The ELF resource section that lies about its sizes has no PE twin; a
// damaged PE file stands in for it.
#ifndef QORB_FIXTURE_LYING_RSRC_SO
#define QORB_FIXTURE_LYING_RSRC_SO QORB_FIXTURE_TRUNCATED
#endif

namespace {

UnicodeString U(const char* utf8) { return UnicodeString::FromUtf8(utf8); }

std::string PluginFixture(const char* name) { return std::string(QORB_PLUGIN_FIXTURE_DIR) + "/" + name + ".dll"; }

// Every bitmap made in a test is gone by its end.
class ModuleDescription : public ::testing::Test {
 protected:
  void SetUp() override { live_ = GdiLiveObjectCount(); }
  void TearDown() override { EXPECT_EQ(GdiLiveObjectCount(), live_); }

 private:
  decltype(GdiLiveObjectCount()) live_ = 0;
};

}  // namespace

TEST_F(ModuleDescription, VersionTextsFollowTheFirstTranslationTrimmedWithTheFixedVersion) {
  const TQorbVersionInfo v = GetQorbVersionInfo(U(QORB_FIXTURE_VERSIONED));
  EXPECT_EQ(v.ProductName, u"Padded Product");  // blanks and a tab cut away
  EXPECT_EQ(v.Company, u"Qorb Fixtures");
  // Only in the second translation's table: never looked at.
  EXPECT_TRUE(v.Copyright.IsEmpty());
  EXPECT_TRUE(v.Description.IsEmpty());
  EXPECT_TRUE(v.Comments.IsEmpty());  // present but of length zero
  EXPECT_EQ(v.Version, u"2.0.1.7");   // not "two-oh-one (build seven)"
  const TQorbVersionInfo self = GetQorbVersionInfo(UnicodeString());  // the module the code lives in
  EXPECT_EQ(self.ProductName, u"Host Unit Tests");
  EXPECT_EQ(self.Version, u"4.3.2.1");
}

TEST_F(ModuleDescription, VersionFallsBackToTheStringAndMissingResourcesGiveEmptyTexts) {
  const TQorbVersionInfo noFixed = GetQorbVersionInfo(U(QORB_FIXTURE_NOFIXED));
  EXPECT_EQ(noFixed.Version, u"3.4-rc1");
  EXPECT_EQ(noFixed.ProductName, u"No Fixed Info");

  for (const char* path : {QORB_FIXTURE_NORES, QORB_FIXTURE_TEXT, QORB_FIXTURE_EMPTY, QORB_FIXTURE_LYING_RSRC_SO,
                           "/nonexistent/file.dll"}) {
    const TQorbVersionInfo none = GetQorbVersionInfo(U(path));
    EXPECT_TRUE(none.ProductName.IsEmpty() && none.Version.IsEmpty() && none.Company.IsEmpty() &&
                none.Copyright.IsEmpty() && none.Description.IsEmpty() && none.Comments.IsEmpty())
        << path;
  }
}

TEST_F(ModuleDescription, AnIconPngBecomesAStraightAlphaBitmap) {
  ScopedLibrary lib(PluginFixture("alpha"));
  ASSERT_NE(lib, 0u);
  std::unique_ptr<TBitmap> icon = LoadPngResourceBitmap(lib, U("qorbpluginicon"));
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->Width(), 32);
  EXPECT_EQ(icon->Height(), 32);
  EXPECT_EQ(icon->PixelFormat(), pf32bit);
  const uint8_t* background = icon->ScanLine(31) + 31 * 4;
  EXPECT_EQ(background[3], 0);
  // The half-transparent corner keeps its colour: blue, green, red, alpha.
  const uint8_t* corner = icon->ScanLine(0);
  EXPECT_EQ(std::vector<uint8_t>(corner, corner + 4), (std::vector<uint8_t>{50, 100, 200, 128}));
}

// Null for no module, no icon, or an icon that is not a PNG.
TEST_F(ModuleDescription, TheCacheDecodesEachModuleOnceAndOwnsTheBitmaps) {
  EXPECT_FALSE(LoadPngResourceBitmap(0, U("QORBPLUGINICON")));
  const auto before = GdiLiveObjectCount();
  TQorbPluginGraphics cache;
  ScopedLibrary plain(QORB_FIXTURE_NORES), bad(PluginFixture("badicon"));
  HMODULE handle = 0;
  TBitmap* first = nullptr;
  {
    ScopedLibrary lib(PluginFixture("alpha"));
    handle = lib;
    first = cache.GetGraphic(handle);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cache.GetGraphic(handle), first);
  }
  // The module is gone; the decoded copy stays and is not asked for again.
  EXPECT_EQ(cache.GetGraphic(handle), first);
  EXPECT_EQ(first->Width(), 32);

  EXPECT_EQ(cache.GetGraphic(plain), nullptr);
  EXPECT_EQ(cache.GetGraphic(plain), nullptr);
  EXPECT_EQ(cache.GetGraphic(0), nullptr);
  EXPECT_EQ(cache.GetGraphic(bad), nullptr);
  EXPECT_EQ(GdiLiveObjectCount(), before + 1);  // freed with the cache, checked at the end
}
