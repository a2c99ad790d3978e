#include <gtest/gtest.h>

#include <string>

#include "tests/language/LanguageTest.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"
#include "winapi/Resources.h"

namespace {

// The designed frame of LanguageTests.rc, also read by the translation tests.
TEST(LayoutReader, BuildsTheDesignedComponents) {
  TTestClasses classes;
  TTestFrame frame(nullptr);
  EXPECT_EQ(frame.Height(), 240);
  TLabel& label = Part<TLabel>(frame, u"LBLESCAPES");
  EXPECT_EQ(label.Parent(), &frame);
  EXPECT_EQ(label.Caption(), u"It's Unicode: \u00fcber\r\n - und mehr");
  EXPECT_TRUE(label.Font()->Style() == (TFontStyles{fsBold, fsItalic}));
  EXPECT_EQ(label.Font()->Color(), clRed);
  EXPECT_FALSE(label.AutoSize());
  EXPECT_EQ(Part<TLabel>(frame, u"lblTitle").Left(), -4);
  // Owned by the root, placed on the object it is written in.
  TPanel& body = Part<TPanel>(frame, u"pnlBody");
  TListBox& list = Part<TListBox>(frame, u"lbPlugins");
  EXPECT_EQ(body.Align(), alClient);
  EXPECT_EQ(list.Owner(), &frame);
  EXPECT_EQ(list.Parent(), &body);
  TFrame other(nullptr);
  EXPECT_FALSE(ReadComponentResource(HInstance(), u"NO_SUCH_LAYOUT", other));
}

TEST(LayoutReader, NamesWhatIsWrongAndTheLine) {
  TTestClasses classes;
  const struct {
    std::string_view Text;
    std::u16string_view Message;
  } cases[] = {
      {"object F: TFrame\n  object x: TNoSuchClass\n  end\nend", u"Class TNoSuchClass not found (line 2)"},
      {"object F: TFrame\n  Bogus = 1\nend", u"Property F.Bogus does not exist (line 2)"},
      {"object F: TFrame\n  Align = alMiddle\nend", u"Invalid value for property F.Align (line 2)"},
      // An enumeration takes only its named values, written as numbers too.
      {"object F: TFrame\n  Align = 17\nend", u"Error reading F.Align: Property Align has no such value (line 2)"},
      {"object F: TFrame\n  Caption = 'open\nend", u"Unterminated string (line 2)"},
      {"object F: TFrame\n  Width = 'wide'\nend", u"Invalid value for property F.Width (line 2)"},
      {"object F: TFrame\nend\nobject G: TFrame\nend", u"Text after the end of the layout (line 3)"},
      {"object F: TFrame\n  Width = 99999999999999999999\nend", u"Number out of range (line 2)"},
      {"object F: TFrame\n  Font.Style = [fsHuge]\nend", u"Invalid value for property F.Font.Style (line 2)"},
      {"object F: TFrame\n  Data = {00FF}\nend", u"Binary property data is not supported (line 2)"},
      {"object F: TFrame\n  object a: TLabel\n  end\n  object A: TLabel\n  end\nend",
       u"Error reading A: A component named A already exists (line 4)"},
      // The whole text is read before anything is made.
      {"object F: TFrame\n  object b: TNoSuchClass\n  end\n  Caption = 'x\nend", u"Unterminated string (line 4)"},
  };
  for (const auto& c : cases) {
    TFrame frame(nullptr);
    try {
      ReadComponentLayout(c.Text, frame);
      ADD_FAILURE() << c.Text;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), c.Message) << c.Text;
    }
  }
  TFrame frame(nullptr);
  ReadComponentLayout("object TFrame\n  Align = 5\nend", frame);
  EXPECT_EQ(frame.Align(), alClient);
}

// Every cut of the designed frame is refused with a read error; what was
// made before stays owned by the root and goes with it (LeakSanitizer).
TEST(LayoutReader, DamagedTextNeverGetsFurther) {
  TTestClasses classes;
  const HRSRC res = FindResourceW(HInstance(), u"TTESTFRAME", RT_RCDATA);
  const std::string_view layout(static_cast<const char*>(LockResource(LoadResource(HInstance(), res))),
                                SizeofResource(HInstance(), res));
  for (size_t n = 0; n < layout.size(); ++n) {
    TFrame frame(nullptr);
    try {
      ReadComponentLayout(layout.substr(0, n), frame);
      // Only a cut in the trailing line break completes.
      EXPECT_GE(n, layout.rfind("end") + 3) << n;
    } catch (const EReadError&) {
    }
  }
}

// Reading layouts and translating reach properties by name; here what
// those paths do not show.
TEST(PublishedProperties, WrongKindsRaiseAndClassesGoWithTheirRegistration) {
  TTestList list(nullptr);
  TCountingLabel label(nullptr);
  {
    TTestClasses classes;
    EXPECT_THROW(GetStrProp(list, u"ItemIndex"), EPropertyError);
    EXPECT_THROW(SetOrdProp(label, u"Anchors", int64_t{1} << 40), EPropertyError);
    EXPECT_EQ(PublishedClassOf(list), FindPublishedClass(u"ttestlist"));
  }
  EXPECT_EQ(FindPublishedClass(u"TTestList"), nullptr);
  EXPECT_EQ(PublishedClassOf(label), FindPublishedClass(u"TLabel"));
}

}  // namespace
