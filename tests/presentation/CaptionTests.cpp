#include <gtest/gtest.h>

#include <stdexcept>

#include "presentation/Qorb.Main.WelcomePage.Caption.h"
#include "tests/presentation/Rendering.h"
#include "tests/presentation/SimulatedIde.h"
#include "vcl/Label.h"

namespace {

class CaptionFrame : public SimulatedIdeTest {};

}  // namespace

TEST_F(CaptionFrame, VersionOfThePackageWithItsV) {
  TQorbWelcomePageCaptionFrame caption(nullptr);
  EXPECT_EQ(caption.lblVersion->Caption(), u"v2.1.0.7");
  EXPECT_EQ(caption.lblCaption->Caption(), u"QORB Delphi Tool Suite");
  EXPECT_EQ(caption.Width(), 373);
  EXPECT_EQ(caption.Height(), 38);
  // However long the version, it ends 7 pixels before the right edge.
  EXPECT_EQ(caption.lblVersion->Left() + caption.lblVersion->Width(), 373 - 7);
  caption.SetWidth(420);
  EXPECT_EQ(caption.lblVersion->Left() + caption.lblVersion->Width(), 420 - 7);
}

TEST_F(CaptionFrame, PainterFillsTheStripInTheThemeColour) {
  Theming().SetActiveTheme(UnicodeString(u"Dark"));
  TQorbWelcomePageCaptionFrame caption(nullptr);
  const TColor dark = Theming().ActiveStyle().GetSystemColor(clWindow);
  EXPECT_EQ(caption.lblCaption->Font()->Color(), Theming().ActiveStyle().GetSystemColor(clWindowText));

  const std::unique_ptr<TBitmap> strip = Render(caption);
  ASSERT_EQ(Painter().CallCount(), 1);
  EXPECT_EQ(Painter().LastCall().Control, &caption);
  EXPECT_EQ(Painter().LastCall().Color, dark);
  EXPECT_EQ(Painter().LastCall().Alpha, 64);
  // The painter's line along the bottom, in the style's highlight colour.
  const uint32_t highlight = RgbOf(Theming().ActiveStyle().GetSystemColor(clHighlight));
  EXPECT_TRUE(AllPixels(*strip, Rect(0, 36, 373, 38), highlight));
  // Top left, clear of the labels: the dark colour under the wash.
  EXPECT_NE(RgbAt(*strip, 2, 1), RgbOf(clWindow));
}

TEST_F(CaptionFrame, ThemingOffHandsThePainterTheDefaultColour) {
  Theming().SetThemingEnabled(false);
  TQorbWelcomePageCaptionFrame caption(nullptr);
  EXPECT_EQ(caption.lblCaption->Font()->Color(), clWindowText);
  EXPECT_EQ(caption.lblVersion->Font()->Color(), clGrayText);
  Render(caption);
  ASSERT_EQ(Painter().CallCount(), 1);
  EXPECT_EQ(Painter().LastCall().Color, clDefault);
  EXPECT_EQ(static_cast<uint32_t>(clDefault), 0x1FFFFFFFu);
}

TEST_F(CaptionFrame, WithoutPainterOnlyTheFramePaints) {
  ASSERT_TRUE(ide->Services().SetEnabled(INTAWelcomePagePainter::IID, false));
  TQorbWelcomePageCaptionFrame caption(nullptr);
  const std::unique_ptr<TBitmap> strip = Render(caption);
  EXPECT_EQ(Painter().CallCount(), 0);
  EXPECT_TRUE(AllPixels(*strip, Rect(0, 36, 373, 38), RgbOf(clWindow)));
  EXPECT_TRUE(AllPixels(*strip, Rect(0, 0, 4, 38), RgbOf(clWindow)));

  WelcomePagePluginService = nullptr;
  EXPECT_NO_THROW(Render(caption));
}

namespace {

class TRaisingPainter : public TInterfacedObjectOf<INTAWelcomePagePluginService, INTAWelcomePagePainter> {
 public:
  int32_t GetPluginCount() override { return 0; }
  INTAWelcomePagePlugin* GetPlugin(int32_t) override { return nullptr; }
  INTAWelcomePagePlugin* FindPlugin(UnicodeStringRef) override { return nullptr; }
  bool IsPluginRegistered(UnicodeStringRef) override { return false; }
  void GetActivePluginID(UnicodeString& R) override { R.Clear(); }
  bool SetActivePluginID(UnicodeStringRef) override { return false; }
  void ShowWelcomePage() override {}
  bool GetWelcomePageShowing() override { return false; }
  void RegisterPlugin(INTAWelcomePagePlugin*) override {}
  void UnRegisterPlugin(UnicodeStringRef) override {}
  void GetPluginCaption(UnicodeString& R, UnicodeStringRef) override { R.Clear(); }
  TColor GetBackgroundColor() override { return clWindow; }
  TColor GetCaptionColor() override { return clWindowText; }
  TFrame* CreateViewFrame(UnicodeStringRef, UnicodeStringRef, TWinControl*) override { return nullptr; }
  void PaintBackground(TCanvas* ACanvas, TWinControl*, TColor, uint8_t) override {
    Canvas = ACanvas;
    Attached = ACanvas->HandleAllocated();
    throw std::runtime_error("painter failed");
  }
  TCanvas* Canvas = nullptr;
  bool Attached = false;
};

}  // namespace

TEST(CaptionPainting, PainterErrorLeavesThroughTheFramePainting) {
  TIdeGlobals globals;
  auto painter = Make<TRaisingPainter>();
  globals.WelcomePage(painter);
  TQorbWelcomePageCaptionFrame caption(nullptr);
  auto target = Canvas24(373, 38, clFuchsia);
  TCanvas canvas(*target);
  EXPECT_THROW(caption.PaintTo(canvas, 0, 0), std::runtime_error);
  EXPECT_TRUE(painter->Attached);
}
