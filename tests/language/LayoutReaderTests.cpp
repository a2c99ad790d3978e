#include <gtest/gtest.h>

#include <string>

#include "tests/language/Printing.h"
#include "tests/language/TestComponents.h"
#include "vcl/LayoutReader.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"
#include "winapi/Gdi.h"
#include "winapi/Modules.h"

namespace {

constexpr std::string_view kLayout = R"(object MainFrame: TFrame
  Width = 320
  Height = $F0
  Color = clWindow
  object lblTitle: TLabel
    Left = -4
    Caption = 'It''s '#$55'nicode: '#252'ber'#13#10 +
      ' - und mehr'
    Font.Style = [fsBold, fsItalic]
    Font.Color = clRed
    AutoSize = False
  end
  object pnlBody: TPanel
    Align = alClient
    BevelOuter = bvNone
    object lbList: TListBox
      Items.Strings = (
        'one'
        'two')
      ItemIndex = 1
    end
    object TLabel
      Caption = 'unnamed'
    end
  end
  object grdCols: TTestGrid
    Columns = <
      item
        Caption = 'A'
      end
      item
        Caption = 'B'
      end>
  end
end
)";

TEST(LayoutReader, BuildsTheDesignedComponents) {
  TTestClasses classes;
  TFrame frame(nullptr);
  ReadComponentLayout(kLayout, frame);

  EXPECT_EQ(frame.Name(), u"MainFrame");
  EXPECT_EQ(frame.Width(), 320);
  EXPECT_EQ(frame.Height(), 240);
  EXPECT_EQ(frame.Color(), clWindow);
  ASSERT_EQ(frame.ComponentCount(), 5);

  auto* title = dynamic_cast<TLabel*>(frame.FindComponent(u"LBLTITLE"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Owner(), &frame);
  EXPECT_EQ(title->Parent(), &frame);
  EXPECT_EQ(title->Left(), -4);
  EXPECT_EQ(title->Caption(), u"It's Unicode: \u00fcber\r\n - und mehr");
  EXPECT_TRUE(title->Font()->Style() == (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(title->Font()->Color(), clRed);
  EXPECT_FALSE(title->AutoSize());

  auto* body = dynamic_cast<TPanel*>(frame.FindComponent(u"pnlBody"));
  auto* list = dynamic_cast<TListBox*>(frame.FindComponent(u"lbList"));
  ASSERT_TRUE(body && list);
  EXPECT_EQ(body->Align(), alClient);
  EXPECT_EQ(body->BevelOuter(), bvNone);
  // Owned by the root, placed on the object it is written in.
  EXPECT_EQ(list->Owner(), &frame);
  EXPECT_EQ(list->Parent(), body);
  EXPECT_EQ(list->Items()->Text(), u"one\r\ntwo\r\n");
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(body->ControlCount(), 2);
  EXPECT_TRUE(dynamic_cast<TLabel*>(body->Controls(1))->Name().IsEmpty());

  auto* grid = dynamic_cast<TTestGrid*>(frame.FindComponent(u"grdCols"));
  ASSERT_NE(grid, nullptr);
  ASSERT_EQ(grid->Columns()->Count(), 2);
  EXPECT_EQ(static_cast<TTestColumn*>(grid->Columns()->Items(1))->Caption(), u"B");
}

TEST(LayoutReader, ResourceLayoutAndMissingResource) {
  TTestClasses classes;
  TFrame frame(nullptr);
  EXPECT_FALSE(ReadComponentResource(HInstance(), u"NO_SUCH_LAYOUT", frame));
  EXPECT_EQ(frame.ComponentCount(), 0);
  // The test frame reads "TTESTFRAME" by another spelling: names match
  // without regard to case.
  TTestFrame designed(nullptr);
  EXPECT_EQ(designed.Caption(), u"Root caption");
  EXPECT_NE(designed.FindComponent(u"lblTitle"), nullptr);
}

TEST(LayoutReader, NamesWhatIsWrongAndTheLine) {
  TTestClasses classes;
  struct TCase {
    std::string_view Text;
    std::u16string_view Message;
  };
  const TCase cases[] = {
      {"object F: TFrame\n  object x: TNoSuchClass\n  end\nend", u"Class TNoSuchClass not found (line 2)"},
      {"object F: TFrame\n  Bogus = 1\nend", u"Property F.Bogus does not exist (line 2)"},
      {"object F: TFrame\n  Align = alMiddle\nend", u"Invalid value for property F.Align (line 2)"},
      {"object F: TFrame\n  Caption = 'open\nend", u"Unterminated string (line 2)"},
      {"object F: TFrame\n  Width = 'wide'\nend", u"Invalid value for property F.Width (line 2)"},
      {"object F: TFrame\nend\nobject G: TFrame\nend", u"Text after the end of the layout (line 3)"},
      {"object F: TFrame\n  Width = 99999999999999999999\nend", u"Number out of range (line 2)"},
      {"object F: TFrame\n  Font.Style = [fsHuge]\nend", u"Invalid value for property F.Font.Style (line 2)"},
      {"object F: TFrame\n  Data = {00FF}\nend", u"Binary property data is not supported (line 2)"},
  };
  for (const TCase& c : cases) {
    TFrame frame(nullptr);
    try {
      ReadComponentLayout(c.Text, frame);
      ADD_FAILURE() << c.Text;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.Message) << c.Text;
    }
  }
}

TEST(LayoutReader, ValuesOutsideAnEnumerationAreRefused) {
  TFrame frame(nullptr);
  // An enumeration takes only its named values, written as numbers too.
  EXPECT_THROW(ReadComponentLayout("object F: TFrame\n  Align = 17\nend", frame), EReadError);
  EXPECT_EQ(frame.Align(), alNone);
  ReadComponentLayout("object TFrame\n  Align = 5\nend", frame);
  EXPECT_EQ(frame.Align(), alClient);
  // Two components of one name in a root.
  EXPECT_THROW(ReadComponentLayout("object TFrame\n  object a: TLabel\n  end\n  object A: TLabel\n  end\nend", frame),
               EReadError);
}

// Every cut of a good layout, and nesting far too deep, is refused with a
// read error; what was made before stays owned by the root and goes with it.
TEST(LayoutReader, DamagedTextNeverGetsFurther) {
  TTestClasses classes;
  const size_t gdiBefore = GdiLiveObjectCount();
  for (size_t n = 0; n < kLayout.size(); ++n) {
    TFrame frame(nullptr);
    try {
      ReadComponentLayout(kLayout.substr(0, n), frame);
      // Only a cut in the trailing blank line completes.
      EXPECT_GE(n, kLayout.rfind("end") + 3) << n;
    } catch (const EReadError&) {
    }
  }
  std::string deep;
  for (int i = 0; i < 200; ++i) deep += "object TPanel\n";
  TFrame frame(nullptr);
  EXPECT_THROW(ReadComponentLayout(deep, frame), EReadError);
  std::string deepList = "object TFrame\n  Hint = ";
  deepList += std::string(200, '(');
  EXPECT_THROW(ReadComponentLayout(deepList, frame), EReadError);
  EXPECT_EQ(GdiLiveObjectCount(), gdiBefore);
}

TEST(PublishedProperties, ReadAndWriteByName) {
  TTestClasses classes;
  TTestList list(nullptr);
  TCountingLabel label(nullptr);

  EXPECT_EQ(GetPropInfo(label, u"caption"), GetPropInfo(label, u"Caption"));
  // The most derived class's declaration wins: its setter counts.
  SetStrProp(label, u"Caption", u"x");
  EXPECT_EQ(label.CaptionWrites, 1);
  EXPECT_EQ(GetStrProp(label, u"Caption"), u"x");
  // Inherited from TLabel and TControl.
  EXPECT_EQ(GetOrdProp(label, u"AutoSize"), 1);
  SetOrdProp(label, u"Left", 12);
  EXPECT_EQ(label.Left(), 12);
  EXPECT_EQ(GetObjectProp(label, u"Font"), label.Font());

  list.Items()->Add(u"a");
  EXPECT_EQ(GetObjectProp(list, u"Items"), list.Items());
  SetOrdProp(list, u"ItemIndex", 0);
  EXPECT_EQ(list.ItemIndex(), 0);

  EXPECT_EQ(GetPropInfo(list, u"Caption"), nullptr);
  EXPECT_THROW(GetStrProp(list, u"Caption"), EPropertyError);
  EXPECT_THROW(GetStrProp(list, u"ItemIndex"), EPropertyError);
  EXPECT_THROW(SetOrdProp(list, u"Items", 1), EPropertyError);
  EXPECT_THROW(SetOrdProp(label, u"Align", 42), EPropertyError);
  EXPECT_THROW(SetOrdProp(label, u"Anchors", int64_t{1} << 40), EPropertyError);
}

TEST(PublishedProperties, ClassesComeAndGoWithTheirRegistration) {
  EXPECT_EQ(FindPublishedClass(u"TTestList"), nullptr);
  {
    TTestClasses classes;
    const TPublishedClass* list = FindPublishedClass(u"ttestlist");
    ASSERT_NE(list, nullptr);
    TTestList instance(nullptr);
    EXPECT_EQ(PublishedClassOf(instance), list);
  }
  EXPECT_EQ(FindPublishedClass(u"TTestList"), nullptr);
  TCountingLabel label(nullptr);
  // Unregistered, it is a TLabel again.
  EXPECT_EQ(PublishedClassOf(label), FindPublishedClass(u"TLabel"));
  EXPECT_EQ(FindPublishedClass(u"TLabel")->Create != nullptr, true);
}

}  // namespace
