#include <gtest/gtest.h>

#include <filesystem>

#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "tests/language/Printing.h"
#include "winapi/Modules.h"
#include "winapi/Resources.h"

namespace {

// The test program carries German texts of its own (LanguageTests.rc).
class LocTest : public ::testing::Test {
 protected:
  void TearDown() override { SetLocLanguage(llEnglish); }
};

TEST_F(LocTest, EnglishUsesTheDefaultAndReadsNoResource) {
  SetLocLanguage(llEnglish);
  // "MENU.ABOUT" exists unprefixed too: English must not look it up.
  EXPECT_EQ(Loc(u"Menu.About", u"About Qorb..."), u"About Qorb...");
  EXPECT_EQ(LocLanguagePrefix(llEnglish), u"");
}

TEST_F(LocTest, GermanFindsTheResourceWhateverTheKeysCase) {
  SetLocLanguage(llGerman);
  EXPECT_EQ(LocLanguagePrefix(llGerman), u"DE.");
  EXPECT_EQ(Loc(u"Menu.About", u"About Qorb..."), u"Ueber Qorb...");
  EXPECT_EQ(Loc(u"menu.about", u"About Qorb..."), u"Ueber Qorb...");
  EXPECT_EQ(Loc(u"Menu.Missing", u"Fallback"), u"Fallback");
  EXPECT_EQ(LocFmt(u"About.ExportMissing", u"Export \"%s\" not found in the About DLL.", {u"ShowQorbAboutDialog"}),
            u"Export \"ShowQorbAboutDialog\" in der About-DLL nicht gefunden.");
}

TEST_F(LocTest, BackslashNBecomesCrLfInBothLanguages) {
  EXPECT_EQ(ExpandLineBreaks(u"a\\nb\\n\\N\\"), u"a\r\nb\r\n\\N\\");
  for (TLocLanguage language : {llEnglish, llGerman}) {
    SetLocLanguage(language);
    EXPECT_EQ(Loc(u"Test.NoSuchKey", u"one\\ntwo"), u"one\r\ntwo");
  }
  EXPECT_EQ(Loc(u"Test.Lines", u"default"), u"eins\r\nzwei\\N");
}

TEST_F(LocTest, ResourceSizesAreTakenAsTheyCome) {
  UnicodeString text;
  // Five bytes: the odd last one is dropped.
  ASSERT_TRUE(TryLoadLocResource(u"DE.TEST.ODD", text));
  EXPECT_EQ(text, u"Hi");
  EXPECT_FALSE(TryLoadLocResource(u"DE.TEST.EMPTY", text));
  EXPECT_TRUE(text.IsEmpty());
  text = u"stale";
  EXPECT_FALSE(TryLoadLocResource(u"DE.NO.SUCH.KEY", text));
  EXPECT_TRUE(text.IsEmpty());
  SetLocLanguage(llGerman);
  EXPECT_EQ(Loc(u"Test.Empty", u"kept"), u"kept");
}

// The package itself carries the German texts of its own code.
TEST(PackageTexts, TheGermanResourcesAreThere) {
  const HMODULE package = LoadLibraryExW(Utf8ToUtf16(QORB_PACKAGE_PATH).c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  ASSERT_NE(package, 0u);
  auto text = [&](const char16_t* name) {
    HRSRC res = FindResourceW(package, name, RT_RCDATA);
    if (!res) return std::u16string(u"<missing>");
    const auto* data = static_cast<const char16_t*>(LockResource(LoadResource(package, res)));
    return std::u16string(data, SizeofResource(package, res) / 2);
  };
  EXPECT_EQ(text(u"DE.MENU.ABOUT"), u"Ueber Qorb...");
  EXPECT_EQ(text(u"DE.ABOUT.LOADFAILED"), u"About-DLL konnte nicht geladen werden:");
  EXPECT_EQ(text(u"DE.ABOUT.EXPORTMISSING"), u"Export \"%s\" in der About-DLL nicht gefunden.");
  FreeLibrary(package);
}

}  // namespace
