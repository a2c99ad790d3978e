#include <gtest/gtest.h>

#include "otahelper/Qorb.OTAHelper.Loc.Controls.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "tests/language/LanguageTest.h"
#include "vcl/ListBox.h"

namespace {

// The designed frame of LanguageTests.rc, in German.
class LocalizeComponentTest : public ::testing::Test {
 protected:
  void SetUp() override { SetLocLanguage(llGerman); }
  void TearDown() override { SetLocLanguage(llEnglish); }

  UnicodeString Column(int index) {
    return static_cast<TTestColumn*>(Part<TTestGrid>(frame, u"grdPlugins").Columns()->Items(index))->Caption();
  }

  TTestClasses classes;
  TTestFrame frame{nullptr};
};

TEST_F(LocalizeComponentTest, TranslatesNamedPartsAndWritesOnlyWhatChanges) {
  TLabel& unnamed = dynamic_cast<TLabel&>(*frame.Components(2));
  ASSERT_TRUE(unnamed.Name().IsEmpty());
  TTestList& choices = Part<TTestList>(frame, u"lstChoices");
  ASSERT_EQ(choices.ItemIndex(), 2);
  const int titleWrites = Part<TCountingLabel>(frame, u"lblTitle").CaptionWrites,
            sameWrites = Part<TCountingLabel>(frame, u"lblSame").CaptionWrites;

  LocalizeComponent(&frame);

  // The root has no name: its caption is not looked up (the key would be
  // "TTestFrame.", which has a translation).
  EXPECT_EQ(frame.Caption(), u"Root caption");
  EXPECT_EQ(unnamed.Caption(), u"Unnamed");
  // The most derived class's declaration of Caption is the one written.
  EXPECT_EQ(Part<TCountingLabel>(frame, u"lblTitle").CaptionWrites, titleWrites + 1);
  EXPECT_EQ(Part<TLabel>(frame, u"lblTitle").Caption(), u"Titel");
  EXPECT_EQ(Part<TLabel>(frame, u"lblTitle").Hint(), u"Titelhinweis");
  // Empty texts are not looked up, though their keys have translations.
  EXPECT_EQ(Part<TLabel>(frame, u"lblEmpty").Caption(), u"");
  EXPECT_EQ(Column(0), u"Name (de)");
  EXPECT_EQ(Column(1), u"");
  // A translation equal to the text is not written.
  EXPECT_EQ(Part<TCountingLabel>(frame, u"lblSame").CaptionWrites, sameWrites);

  // Replacing entries dropped the selection; it is put back as it was.
  EXPECT_EQ(choices.Items()->Text(), u"Eins\r\nZwei\r\nDrei\r\n");
  EXPECT_EQ(choices.ItemIndex(), 2);
}

TEST_F(LocalizeComponentTest, ListBoxWithoutAFormWaitsForTheItemsPass) {
  TListBox& plugins = Part<TListBox>(frame, u"lbPlugins");
  // The items pass leaves captions alone.
  LocalizeComponentItems(&frame);
  EXPECT_EQ(Part<TLabel>(frame, u"lblTitle").Caption(), u"Title");
  EXPECT_EQ(Part<TTestList>(frame, u"lstChoices").Items()->Strings(0), u"Eins");
  LocalizeComponent(&frame);
  EXPECT_FALSE(plugins.HandleAllocated());
  EXPECT_EQ(plugins.Items()->Text(), u"First\r\n\r\nSecond\r\n");

  TForm form(nullptr);
  frame.SetParent(&form);
  LocalizeComponentItems(&frame);
  // The empty entry is no key: "Item1" has a translation that must not land.
  EXPECT_EQ(plugins.Items()->Text(), u"Erstes\r\n\r\nSecond\r\n");
  // The form frees its child controls; the frame is the test's.
  frame.SetParent(nullptr);
}

}  // namespace
