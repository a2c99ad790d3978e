#include "vcl/LayoutParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vcl/Forms.h"
#include "vcl/LayoutReader.h"

namespace {

using TKind = TLayoutValue::TKind;

std::u16string ErrorOf(std::string_view AText) {
  try {
    ParseLayout(AText);
  } catch (const EReadError& e) {
    return std::u16string(e.Message().view());
  }
  return u"(parsed)";
}

TEST(LayoutParser, KeepsWhatIsWrittenInTheWrittenOrder) {
  const TLayoutObject root = ParseLayout(R"(OBJECT Main: TFrame
  Height = -$10
  object Title: TLabel
    Font.Style = [fsBold, fsItalic]
  END
  Caption = 'a'#$62 +
    'c'
  object TPanel
    Tag = (
      1
      (x 'y'))
    Columns = <
      item
        Sub = <
          item
            Width = 2
          end>
      end
      item
      end>
  end
end)");
  EXPECT_EQ(root.Name, "Main");
  EXPECT_EQ(root.ClassName, "TFrame");
  ASSERT_EQ(root.Properties.size(), 2u);
  EXPECT_EQ(root.Properties[0].Value.Number, -16);
  EXPECT_EQ(root.Properties[1].Path, "Caption");
  EXPECT_EQ(root.Properties[1].Line, 6);
  EXPECT_EQ(root.Properties[1].Value.Str, u"abc");

  ASSERT_EQ(root.Children.size(), 2u);
  const TLayoutObject& title = root.Children[0];
  EXPECT_EQ(title.Line, 3);
  EXPECT_EQ(title.PropertiesBefore, 1u);
  EXPECT_EQ(title.Properties.at(0).Path, "Font.Style");
  EXPECT_EQ(title.Properties[0].Value.SetItems, (std::vector<std::string>{"fsBold", "fsItalic"}));

  const TLayoutObject& panel = root.Children[1];
  EXPECT_TRUE(panel.Name.empty());
  EXPECT_EQ(panel.ClassName, "TPanel");
  EXPECT_EQ(panel.PropertiesBefore, 2u);
  ASSERT_EQ(panel.Properties.size(), 2u);
  const TLayoutValue& list = panel.Properties[0].Value;
  ASSERT_EQ(list.ListItems.size(), 2u);
  EXPECT_EQ(list.ListItems[1].Line, 11);
  ASSERT_EQ(list.ListItems[1].ListItems.size(), 2u);
  EXPECT_EQ(list.ListItems[1].ListItems[0].Ident, "x");
  EXPECT_EQ(list.ListItems[1].ListItems[1].Kind, TKind::String);

  const TLayoutValue& columns = panel.Properties[1].Value;
  EXPECT_EQ(columns.Kind, TKind::Collection);
  ASSERT_EQ(columns.Items.size(), 2u);
  EXPECT_EQ(columns.Items[1].Line, 19);
  EXPECT_TRUE(columns.Items[1].Properties.empty());
  const TLayoutValue& sub = columns.Items[0].Properties.at(0).Value;
  ASSERT_EQ(sub.Items.size(), 1u);
  EXPECT_EQ(sub.Items[0].Properties.at(0).Value.Number, 2);
}

// One step inside each bound is read; one past it is refused at its line.
TEST(LayoutParser, RefusesPastEveryBound) {
  auto nested = [](int AObjects) {
    std::string text;
    for (int i = 0; i < AObjects; ++i) text += "object TPanel\n";
    for (int i = 0; i < AObjects; ++i) text += "end\n";
    return text;
  };
  EXPECT_EQ(ErrorOf(nested(kLayoutMaxDepth + 1)), u"(parsed)");
  EXPECT_EQ(ErrorOf(nested(kLayoutMaxDepth + 2)), u"Objects nested too deeply (line 34)");

  // A collection counts as deep as the object it is in, its items' own
  // collections one deeper.
  const std::string deepest = nested(kLayoutMaxDepth + 1);
  const size_t innermost = deepest.find("end");
  EXPECT_EQ(ErrorOf(std::string(deepest).insert(innermost, "C = <\nitem\nend>\n")), u"(parsed)");
  EXPECT_EQ(ErrorOf(std::string(deepest).insert(innermost, "C = <\nitem\nC = <\nitem\nend>\nend>\n")),
            u"Objects nested too deeply (line 36)");

  auto lists = [](int ALevels) {
    return "object TFrame\n  Tag = " + std::string(ALevels, '(') + std::string(ALevels, ')') + "\nend";
  };
  EXPECT_EQ(ErrorOf(lists(kLayoutMaxDepth + 1)), u"(parsed)");
  EXPECT_EQ(ErrorOf(lists(kLayoutMaxDepth + 2)), u"Values nested too deeply (line 2)");

  // The object, its property and its list take three elements.
  auto items = [](size_t ACount) {
    std::string text = "object TFrame\n  Tag = (";
    for (size_t i = 0; i < ACount; ++i) text += " 1";
    return text + ")\nend";
  };
  EXPECT_EQ(ErrorOf(items(kLayoutMaxElements - 3)), u"(parsed)");
  EXPECT_EQ(ErrorOf(items(kLayoutMaxElements - 2)), u"Layout too large (line 2)");

  const std::string huge = "object TFrame\n  Caption = '" + std::string(kLayoutMaxBytes, 'x') + "'\nend";
  EXPECT_EQ(ErrorOf(huge), u"Layout too large (line 2)");
}

// A syntax error anywhere keeps the reader from making anything, even when
// an earlier object names a class that does not exist.
TEST(LayoutParser, ReaderMakesNothingFromTextThatDoesNotParse) {
  TFrame frame(nullptr);
  try {
    ReadComponentLayout(
        "object F: TFrame\n  object a: TLabel\n  end\n  object b: TNoSuchClass\n  end\n  Caption = 'x\nend", frame);
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), u"Unterminated string (line 6)");
  }
  EXPECT_EQ(frame.ComponentCount(), 0);
  EXPECT_TRUE(frame.Name().IsEmpty());
}

}  // namespace
