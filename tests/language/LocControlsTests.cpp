#include <gtest/gtest.h>

#include <memory>

#include "otahelper/Qorb.OTAHelper.Loc.Controls.h"
#include "otahelper/Qorb.OTAHelper.Loc.h"
#include "tests/language/Printing.h"
#include "tests/language/TestComponents.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

namespace {

class LocalizeComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetLocLanguage(llGerman);
    frame = std::make_unique<TTestFrame>(nullptr);
  }
  void TearDown() override {
    frame.reset();
    SetLocLanguage(llEnglish);
  }

  template <class T>
  T& Part(const char16_t* name) {
    auto* c = dynamic_cast<T*>(frame->FindComponent(name));
    if (!c) throw std::logic_error("the test frame lacks a part");
    return *c;
  }
  TStrings& Items(const char16_t* name) { return *Part<TTestList>(name).Items(); }

  TTestClasses classes;
  std::unique_ptr<TTestFrame> frame;
};

TEST_F(LocalizeComponentTest, TranslatesNamedPartsAndLeavesTheRestAlone) {
  TLabel* unnamed = nullptr;
  for (int i = 0; i < frame->ComponentCount(); ++i)
    if (frame->Components(i)->Name().IsEmpty()) unnamed = dynamic_cast<TLabel*>(frame->Components(i));
  ASSERT_NE(unnamed, nullptr);
  const int sameWrites = Part<TCountingLabel>(u"lblSame").CaptionWrites;

  LocalizeComponent(frame.get());

  // The root has no name: its caption is not looked up (the key would be
  // "TTestFrame.", which has a translation).
  EXPECT_EQ(frame->Caption(), u"Root caption");
  EXPECT_EQ(unnamed->Caption(), u"Unnamed");
  EXPECT_EQ(Part<TLabel>(u"lblTitle").Caption(), u"Titel");
  EXPECT_EQ(Part<TLabel>(u"lblTitle").Hint(), u"Titelhinweis");
  // An empty caption is not looked up, though its key has a translation.
  EXPECT_EQ(Part<TLabel>(u"lblEmpty").Caption(), u"");
  // A translation equal to the text is not written.
  EXPECT_EQ(Part<TCountingLabel>(u"lblSame").CaptionWrites, sameWrites);

  auto& columns = *Part<TTestGrid>(u"grdPlugins").Columns();
  EXPECT_EQ(static_cast<TTestColumn*>(columns.Items(0))->Caption(), u"Name (de)");
  EXPECT_EQ(static_cast<TTestColumn*>(columns.Items(1))->Caption(), u"");
  // Columns whose items have no caption are passed over.
  EXPECT_EQ(static_cast<TTestPlainColumn*>(Part<TTestPlainGrid>(u"grdPlain").Columns()->Items(0))->Width(), 40);
}

TEST_F(LocalizeComponentTest, ListsKeepTheirSelection) {
  TTestList& choices = Part<TTestList>(u"lstChoices");
  TTestList& fixed = Part<TTestList>(u"lstFixed");
  TTestList& unchanged = Part<TTestList>(u"lstUnchanged");
  ASSERT_EQ(choices.ItemIndex(), 2);
  const int choicesWrites = choices.ItemIndexWrites, fixedWrites = fixed.ItemIndexWrites,
            unchangedWrites = unchanged.ItemIndexWrites;

  LocalizeComponent(frame.get());

  EXPECT_EQ(Items(u"lstChoices").Text(), u"Eins\r\nZwei\r\nDrei\r\n");
  // Replacing entries dropped the selection; it is put back as it was.
  EXPECT_EQ(choices.ItemIndex(), 2);
  EXPECT_EQ(choices.ItemIndexWrites, choicesWrites + 1);
  // Nothing was selected: nothing is put back.
  EXPECT_EQ(Items(u"lstFixed").Strings(0), u"Fest");
  EXPECT_EQ(fixed.ItemIndexWrites, fixedWrites);
  // Nothing changed: the selection is not touched.
  EXPECT_EQ(Items(u"lstUnchanged").Text(), u"a\r\nb\r\n");
  EXPECT_EQ(unchanged.ItemIndex(), 1);
  EXPECT_EQ(unchanged.ItemIndexWrites, unchangedWrites);
}

TEST_F(LocalizeComponentTest, ListBoxWithoutAFormWaitsForTheItemsPass) {
  TListBox& plugins = Part<TListBox>(u"lbPlugins");
  LocalizeComponent(frame.get());
  EXPECT_FALSE(plugins.HandleAllocated());
  EXPECT_EQ(plugins.Items()->Text(), u"First\r\n\r\nSecond\r\n");

  TForm form(nullptr);
  frame->SetParent(&form);
  LocalizeComponentItems(frame.get());
  // The empty entry is no key: "Item1" has a translation that must not land.
  EXPECT_EQ(plugins.Items()->Text(), u"Erstes\r\n\r\nSecond\r\n");
  // The form frees its child controls; the frame is the test's.
  frame->SetParent(nullptr);
}

// Captions are not the items pass's business.
TEST_F(LocalizeComponentTest, CaptionsOnlyChangeInTheFullPass) {
  LocalizeComponentItems(frame.get());
  EXPECT_EQ(Part<TLabel>(u"lblTitle").Caption(), u"Title");
  EXPECT_EQ(Items(u"lstChoices").Strings(0), u"Eins");
}

TEST(LocalizeComponent, NamedRootAndEnglishDefaults) {
  TTestClasses classes;
  TPanel panel(nullptr);
  panel.SetName(u"pnlMain");
  panel.SetCaption(u"Line\\nbreak");
  LocalizeComponent(&panel);
  // English reads nothing, yet a designed backslash-n becomes a line break.
  EXPECT_EQ(panel.Caption(), u"Line\r\nbreak");
  LocalizeComponent(nullptr);
  LocalizeComponentItems(nullptr);
}

}  // namespace
