#include <gtest/gtest.h>

#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "tests/language/LanguageTest.h"

namespace {

// The test program carries German texts of its own (LanguageTests.rc).
class LocTest : public ::testing::Test {
 protected:
  void TearDown() override { SetLocLanguage(llEnglish); }
};

TEST_F(LocTest, EnglishReadsNoResourceGermanFindsItWhateverTheKeysCaseOrSizeAndLinesBreak) {
  // "MENU.ABOUT" exists unprefixed too: English must not look it up.
  EXPECT_EQ(Loc(u"Menu.About", u"About Qorb..."), u"About Qorb...");
  SetLocLanguage(llGerman);
  EXPECT_EQ(Loc(u"Menu.About", u"About Qorb..."), u"Ueber Qorb...");
  EXPECT_EQ(Loc(u"menu.about", u"About Qorb..."), u"Ueber Qorb...");
  EXPECT_EQ(Loc(u"Menu.Missing", u"Fallback"), u"Fallback");
  EXPECT_EQ(Loc(u"Test.Empty", u"kept"), u"kept");
  EXPECT_EQ(LocFmt(u"About.ExportMissing", u"Export \"%s\" not found in the About DLL.", {u"ShowQorbAboutDialog"}),
            u"Export \"ShowQorbAboutDialog\" in der About-DLL nicht gefunden.");
  UnicodeString text;
  // Five bytes: the odd last one is dropped.
  ASSERT_TRUE(TryLoadLocResource(u"DE.TEST.ODD", text));
  EXPECT_EQ(text, u"Hi");
  // An empty one counts as missing and clears the text.
  EXPECT_FALSE(TryLoadLocResource(u"DE.TEST.EMPTY", text));
  EXPECT_TRUE(text.IsEmpty());

  // Backslash-n becomes CR LF in both languages.
  EXPECT_EQ(ExpandLineBreaks(u"a\\nb\\n\\N\\"), u"a\r\nb\r\n\\N\\");
  for (TLocLanguage language : {llEnglish, llGerman}) {
    SetLocLanguage(language);
    EXPECT_EQ(Loc(u"Test.NoSuchKey", u"one\\ntwo"), u"one\r\ntwo");
  }
  EXPECT_EQ(Loc(u"Test.Lines", u"default"), u"eins\r\nzwei\\N");
}

}  // namespace
