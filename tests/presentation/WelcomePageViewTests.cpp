#include <gtest/gtest.h>

#include <memory>

#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "tests/presentation/Rendering.h"
#include "vcl/Label.h"
#include "vcl/Panel.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kBlue = 0x0000FF;

// 16 by 16, left half red and right half blue, opaque.
std::unique_ptr<TBitmap> TwoColourIcon() {
  auto icon = std::make_unique<TBitmap>();
  icon->SetPixelFormat(pf32bit);
  icon->SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      uint8_t* p = icon->ScanLine(y) + 4 * x;
      p[0] = x < 8 ? 0 : 255;
      p[1] = 0;
      p[2] = x < 8 ? 255 : 0;
      p[3] = 255;
    }
  return icon;
}

class WelcomePageList : public ::testing::Test {
 protected:
  void SetUp() override {
    icon = TwoColourIcon();
    SetWelcomePagePluginsProvider(MakeWelcomePagePluginsProvider([this] {
      ++providerCalls;
      return DynArray<TQorbWelcomePagePlugin>{
          {u"Alpha Tools", u"1.0.0.3", u"", icon.get()},
          {u"Beta Lint", u"0.9.1", u"1.2.0", nullptr},
          {u"Gamma", u"", u"", nullptr},
      };
    }));
  }
  void TearDown() override { SetWelcomePagePluginsProvider(nullptr); }

  // The list as it paints itself.
  std::unique_ptr<TBitmap> Rows(TQorbWelcomePageFrame& f) { return Render(*f.lbPlugins); }

  std::unique_ptr<TBitmap> icon;
  int providerCalls = 0;
};

}  // namespace

TEST_F(WelcomePageList, ThreeRowsWithIconNameAndVersionWhereTheyBelong) {
  TQorbWelcomePageFrame frame(nullptr);
  // The provider's bitmaps may go once the frame exists.
  icon.reset();
  EXPECT_EQ(providerCalls, 1);
  ASSERT_EQ(frame.lbPlugins->Count(), 3);
  EXPECT_EQ(frame.lbPlugins->ItemHeight(), 44);
  EXPECT_TRUE(frame.lbPlugins->IsVirtual());
  EXPECT_EQ(frame.lbPlugins->ItemRect(2), Rect(0, 88, frame.lbPlugins->Width(), 132));
  EXPECT_FALSE(frame.pnlTop->Visible());

  const std::unique_ptr<TBitmap> rows = Rows(frame);
  const int w = rows->Width();
  ASSERT_EQ(w, 420);

  // Row 0: what the name and the version look like drawn at (52, 5) and
  // (52, 25) in 10 and 8 points, black and grey on the window colour.
  auto expected = Canvas24(w, 44, clWindow);
  DrawText(*expected, 52, 5, u"Alpha Tools", 10, clWindowText);
  DrawText(*expected, 52, 25, u"1.0.0.3", 8, clGrayText);
  EXPECT_TRUE(SamePixels(*rows, *expected, Rect(44, 0, w, 44)));

  // The 16 by 16 icon stretched over (8, 4) to (44, 40).
  EXPECT_EQ(RgbAt(*rows, 8, 4), kRed);
  EXPECT_EQ(RgbAt(*rows, 20, 39), kRed);
  EXPECT_EQ(RgbAt(*rows, 43, 4), kBlue);
  EXPECT_EQ(RgbAt(*rows, 30, 30), kBlue);
  EXPECT_TRUE(AllPixels(*rows, Rect(0, 0, 8, 44), RgbOf(clWindow)));
  EXPECT_TRUE(AllPixels(*rows, Rect(8, 0, 44, 4), RgbOf(clWindow)));
  EXPECT_TRUE(AllPixels(*rows, Rect(8, 40, 44, 44), RgbOf(clWindow)));

  // Row 1: no icon; its update version ends 12 pixels before the right edge.
  auto second = Canvas24(w, 44, clWindow);
  DrawText(*second, 52, 5, u"Beta Lint", 10, clWindowText);
  DrawText(*second, 52, 25, u"0.9.1", 8, clGrayText);
  DrawText(*second, w - TextWidthOf(u"1.2.0", 8) - 12, 25, u"1.2.0", 8, clGrayText);
  auto rowOne = Canvas24(w, 44, clWindow);
  TCanvas(*rowOne).Draw(0, -44, *rows);
  EXPECT_TRUE(SamePixels(*rowOne, *second, Rect(0, 0, w, 44)));
  EXPECT_TRUE(AllPixels(*rows, Rect(w - 12, 44, w, 88), RgbOf(clWindow)));

  // Beyond the last row only the background.
  EXPECT_TRUE(AllPixels(*rows, Rect(0, 132, w, rows->Height()), RgbOf(clWindow)));
}

TEST_F(WelcomePageList, SelectedRowLooksLikeAnyOther) {
  TQorbWelcomePageFrame frame(nullptr);
  const std::unique_ptr<TBitmap> plain = Rows(frame);
  frame.lbPlugins->SetItemIndex(0);
  const std::unique_ptr<TBitmap> selected = Rows(frame);
  EXPECT_TRUE(SamePixels(*plain, *selected, Rect(0, 0, plain->Width(), plain->Height())));
}

TEST_F(WelcomePageList, RowOutOfRangeIsOnlyFilled) {
  TQorbWelcomePageFrame frame(nullptr);
  auto target = Canvas24(420, 44, clFuchsia);
  TCanvas canvas(*target);
  {
    TCanvasHandleScope scope(*frame.lbPlugins->Canvas(), canvas.Handle());
    frame.lbPluginsDrawItem(frame.lbPlugins, 3, Rect(0, 0, 420, 44), {});
    frame.lbPluginsDrawItem(frame.lbPlugins, -1, Rect(0, 0, 420, 44), {});
  }
  EXPECT_TRUE(AllPixels(*target, Rect(0, 0, 420, 44), RgbOf(clWindow)));
}

TEST_F(WelcomePageList, ClearedProviderKeepsBuiltFramesAndEmptiesNewOnes) {
  TQorbWelcomePageFrame before(nullptr);
  SetWelcomePagePluginsProvider(nullptr);
  TQorbWelcomePageFrame after(nullptr);
  EXPECT_EQ(providerCalls, 1);
  EXPECT_EQ(before.lbPlugins->Count(), 3);
  EXPECT_EQ(before.Plugins()[2].Name, u"Gamma");
  EXPECT_EQ(after.lbPlugins->Count(), 0);
  const std::unique_ptr<TBitmap> empty = Rows(after);
  EXPECT_TRUE(AllPixels(*empty, Rect(0, 0, empty->Width(), empty->Height()), RgbOf(clWindow)));
}

TEST_F(WelcomePageList, FrameDrawsItsOwnIconCopies) {
  TQorbWelcomePageFrame frame(nullptr);
  TBitmap* copy = frame.Plugins()[0].Graphic;
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, icon.get());
  EXPECT_EQ(copy->AlphaFormat(), afDefined);
  EXPECT_EQ(frame.Plugins()[1].Graphic, nullptr);
}

TEST(WelcomePageCopyright, PackageCopyrightShowsAtTheFoot) {
  TQorbWelcomePageFrame frame(nullptr);
  EXPECT_EQ(frame.lblCopyright->Caption(), u"Copyright (c) 2026 Tessary Systems");
  EXPECT_TRUE(frame.lblCopyright->Visible());
  EXPECT_EQ(frame.pnlBottom->Height(), 20);
  EXPECT_EQ(frame.lbPlugins->Count(), 0);
}
