// The main menu's picture, compared pixel by pixel with the captions drawn
// where a person sees them.
#include <gtest/gtest.h>

#include "ide/MainMenu.h"
#include "workbench/pictures/MenuPicture.h"
#include "tests/presentation/Rendering.h"
#include "vcl/Menus.h"

namespace {

TMenuItem* AddItem(TMenuItem* parent, const char16_t* caption) {
  auto* item = new TMenuItem(parent);
  item->SetCaption(UnicodeString(caption));
  parent->Add(item);
  return item;
}

// Draws Text as the menu does, on a copy of the background, for comparing.
void MenuText(TBitmap& b, int x, int rowTop, int rowHeight, std::u16string_view text, TColor color) {
  TCanvas c(b);
  c.Font()->SetName(UnicodeString(u"Segoe UI"));
  c.Font()->SetSize(9);
  DrawText(b, x, rowTop + (rowHeight - c.TextHeight(text)) / 2, text, 9, color);
}

int TextWidth(std::u16string_view text) {
  TBitmap scratch(1, 1);
  TCanvas c(scratch);
  c.Font()->SetName(UnicodeString(u"Segoe UI"));
  c.Font()->SetSize(9);
  return c.TextWidth(text);
}

}  // namespace

TEST(MenuPicture, TheBarWithTheOpenMenuItsItemsSeparatorAndGreyedItem) {
  TMainMenu menu(nullptr);
  BuildStandardMainMenu(menu);
  TMenuItem* qorb = new TMenuItem(&menu);
  qorb->SetCaption(UnicodeString(u"&Qorb"));
  menu.Items()->Insert(menu.Items()->Count() - 1, qorb);
  AddItem(qorb, u"Say Hello");
  AddItem(qorb, u"-");
  AddItem(qorb, u"Disabled")->SetEnabled(false);
  AddItem(AddItem(qorb, u"More"), u"Under");
  AddItem(qorb, u"Hidden")->SetVisible(false);

  TBitmap picture;
  PaintMainMenu(menu, u"Qorb", picture);
  // The bar, 20 pixels; the drop-down: 3 rows of 22, a separator of 9 and
  // 4 pixels of frame.
  ASSERT_EQ(picture.Height(), 20 + 3 * 22 + 9 + 4);
  int left = 0;
  for (int i = 0; menu.Items()->Items(i) != qorb; ++i)
    left += TextWidth(menu.Items()->Items(i)->Caption().view()) + 14;
  // The accelerator mark is neither drawn nor measured.
  const int barWidth = left + TextWidth(u"Qorb") + 14 + TextWidth(u"Help") + 14;
  const int boxRight = left + TextWidth(u"Say Hello") + 32 + 24 + 2;
  EXPECT_EQ(picture.Width(), std::max(barWidth, boxRight) + 1);

  // The bar in the menu colour, the open item in its highlight, and the
  // "Qorb" caption drawn on it.
  auto expected = Canvas24(picture.Width(), picture.Height(), clMenu);
  const int qorbWidth = TextWidth(u"Qorb") + 14;
  {
    TCanvas c(*expected);
    c.Brush()->SetColor(ColorOf(0xFFE8CC));
    c.FillRect(Rect(left, 0, left + qorbWidth, 20));
  }
  MenuText(*expected, left + 7, 0, 20, u"Qorb", clMenuText);
  EXPECT_TRUE(SamePixels(picture, *expected, Rect(left, 0, left + qorbWidth, 20)));

  // Inside the frame: each row's caption 32 pixels in, the greyed one in
  // the grey text colour, the separator a line, the sub-menu's arrow.
  const TRect inside = Rect(left + 1, 21, boxRight - 1, picture.Height() - 1);
  auto rows = Canvas24(picture.Width(), picture.Height(), clMenu);
  MenuText(*rows, left + 32, 22, 22, u"Say Hello", clMenuText);
  MenuText(*rows, left + 32, 22 + 22 + 9, 22, u"Disabled", clGrayText);
  MenuText(*rows, left + 32, 22 + 44 + 9, 22, u"More", clMenuText);
  {
    TCanvas c(*rows);
    c.Brush()->SetColor(ColorOf(0xCCCCCC));
    c.FillRect(Rect(left + 28, 22 + 22 + 4, boxRight - 2, 22 + 22 + 5));
  }
  EXPECT_TRUE(SamePixels(picture, *rows, Rect(inside.Left, inside.Top, inside.Right - 24, inside.Bottom)));
  EXPECT_EQ(RgbAt(picture, left, 20), 0xCCCCCCu);  // the frame
  const auto text = static_cast<uint32_t>(ColorToRGB(clMenuText));
  EXPECT_EQ(RgbAt(picture, boxRight - 14, 22 + 44 + 9 + 11),
            ((text & 0xFF) << 16) | (text & 0xFF00) | ((text >> 16) & 0xFF))
      << "the sub-menu's arrow in the text colour";

  // Nothing open: only the bar.
  TBitmap closed;
  PaintMainMenu(menu, u"", closed);
  EXPECT_EQ(closed.Height(), 20);
}
