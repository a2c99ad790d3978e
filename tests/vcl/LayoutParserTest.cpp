#include "vcl/LayoutParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string ErrorOf(std::string_view AText) {
  try {
    ParseLayout(AText);
  } catch (const EReadError& e) {
    return std::u16string(e.Message().view());
  }
  return u"(parsed)";
}

// What the reader's tests cannot see: written order, lines, and values
// nested in lists and collections.
TEST(LayoutParser, KeepsWhatIsWrittenInTheWrittenOrder) {
  const TLayoutObject root = ParseLayout(R"(OBJECT Main: TFrame
  Tag = (1 (x 'y'))
  object TLabel
  END
  Columns = <
    item
      Sub = <
        item
          Width = 2
        end>
    end
    item
    end>
end)");
  ASSERT_EQ(root.Properties.size(), 2u);
  ASSERT_EQ(root.Children.size(), 1u);
  EXPECT_EQ(root.Children[0].PropertiesBefore, 1u);
  const TLayoutValue& list = root.Properties[0].Value;
  ASSERT_EQ(list.ListItems.size(), 2u);
  ASSERT_EQ(list.ListItems[1].ListItems.size(), 2u);
  EXPECT_EQ(list.ListItems[1].ListItems[0].Ident, "x");
  EXPECT_EQ(list.ListItems[1].ListItems[1].Str, u"y");
  const TLayoutValue& columns = root.Properties[1].Value;
  ASSERT_EQ(columns.Items.size(), 2u);
  EXPECT_EQ(columns.Items[1].Line, 12);
  EXPECT_EQ(columns.Items[0].Properties.at(0).Value.Items.at(0).Properties.at(0).Value.Number, 2);
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
  std::string deepest = nested(kLayoutMaxDepth + 1);
  const size_t innermost = deepest.find("end");
  EXPECT_EQ(ErrorOf(std::string(deepest).insert(innermost, "C = <\nitem\nend>\n")), u"(parsed)");
  EXPECT_EQ(ErrorOf(deepest.insert(innermost, "C = <\nitem\nC = <\nitem\nend>\nend>\n")),
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
  EXPECT_EQ(ErrorOf("object TFrame\n  Caption = '" + std::string(kLayoutMaxBytes, 'x') + "'\nend"),
            u"Layout too large (line 2)");
}

}  // namespace
