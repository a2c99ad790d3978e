#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "ide/ThemingServices.h"
#include "ide/WelcomePagePainter.h"
#include "otahelper/Qorb.OTAHelper.Options.h"
#include "presentation/Qorb.Main.WelcomePage.Caption.h"
#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "presentation/Qorb.Main.WelcomePage.h"
#include "tests/presentation/Rendering.h"
#include "tests/presentation/SimulatedIde.h"
#include "tests/toolsapi/RawSlot.h"
#include "toolsapi/ObjectInterfaces.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

namespace {

// 16 by 16, left half red and right half blue, opaque.
std::unique_ptr<TBitmap> TwoColourIcon() {
  auto icon = std::make_unique<TBitmap>();
  icon->SetPixelFormat(pf32bit);
  icon->SetSize(16, 16);
  const uint8_t red[] = {0, 0, 255, 255}, blue[] = {255, 0, 0, 255};
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) std::memcpy(icon->ScanLine(y) + 4 * x, x < 8 ? red : blue, 4);
  return icon;
}

// Without an IDE the list keeps the plain window colours.
class WelcomePageList : public ::testing::Test {
 protected:
  void SetUp() override {
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

  std::unique_ptr<TBitmap> icon = TwoColourIcon();
  int providerCalls = 0;
};

}  // namespace

TEST_F(WelcomePageList, ThreeRowsWithIconNameAndVersionWhereTheyBelongSelectedOrNot) {
  TQorbWelcomePageFrame frame(nullptr);
  icon.reset();  // the provider's bitmaps may go once the frame exists
  EXPECT_EQ(providerCalls, 1);
  ASSERT_EQ(frame.lbPlugins->Count(), 3);
  EXPECT_EQ(frame.lbPlugins->ItemRect(2), Rect(0, 88, frame.lbPlugins->Width(), 132));
  const std::unique_ptr<TBitmap> rows = Render(*frame.lbPlugins);
  const int w = rows->Width();

  // Names at (52, top + 5) in 10 points and versions at (52, top + 25) in 8,
  // an update version ending 12 pixels before the right edge, the 16 by 16
  // icon stretched over (8, top + 4) to (44, top + 40); nothing below.
  auto expected = Canvas24(w, rows->Height(), clWindow);
  DrawText(*expected, 52, 5, u"Alpha Tools", 10, clWindowText);
  DrawText(*expected, 52, 25, u"1.0.0.3", 8, clGrayText);
  DrawText(*expected, 52, 49, u"Beta Lint", 10, clWindowText);
  DrawText(*expected, 52, 69, u"0.9.1", 8, clGrayText);
  DrawText(*expected, -12, 69, u"1.2.0", 8, clGrayText);
  DrawText(*expected, 52, 93, u"Gamma", 10, clWindowText);
  TCanvas(*expected).StretchDraw(Rect(8, 4, 44, 40), *TwoColourIcon());
  EXPECT_TRUE(SamePixels(*rows, *expected, Rect(0, 0, w, rows->Height())));

  frame.lbPlugins->SetItemIndex(0);
  const std::unique_ptr<TBitmap> selected = Render(*frame.lbPlugins);
  EXPECT_TRUE(SamePixels(*rows, *selected, Rect(0, 0, w, rows->Height())));

  // Rows the list does not have are only filled.
  auto target = Canvas24(w, 44, clFuchsia);
  TCanvas canvas(*target);
  {
    TCanvasHandleScope scope(*frame.lbPlugins->Canvas(), canvas.Handle());
    for (int index : {3, -1}) frame.lbPluginsDrawItem(frame.lbPlugins, index, Rect(0, 0, w, 44), {});
  }
  EXPECT_TRUE(AllPixels(*target, Rect(0, 0, w, 44), clWindow));
}

TEST_F(WelcomePageList, ClearedProviderKeepsBuiltFramesAndEmptiesNewOnes) {
  TQorbWelcomePageFrame before(nullptr);
  SetWelcomePagePluginsProvider(nullptr);
  TQorbWelcomePageFrame after(nullptr);
  EXPECT_EQ(providerCalls, 1);
  EXPECT_EQ(before.lbPlugins->Count(), 3);
  EXPECT_EQ(before.Plugins()[2].Name, u"Gamma");
  EXPECT_EQ(after.lbPlugins->Count(), 0);
}

// This test program's version and copyright are the "package's".
TEST(WelcomePageTexts, VersionOnTheCaptionAndCopyrightAtTheFoot) {
  TQorbWelcomePageCaptionFrame caption(nullptr);
  EXPECT_EQ(caption.lblVersion->Caption(), u"v2.1.0.7");
  EXPECT_EQ(caption.lblCaption->Caption(), u"QORB Delphi Tool Suite");
  // However long the version and wide the strip, it ends 7 pixels before the edge.
  for (int width : {373, 420}) {
    caption.SetWidth(width);
    EXPECT_EQ(caption.lblVersion->Left() + caption.lblVersion->Width(), width - 7);
  }
  TQorbWelcomePageFrame frame(nullptr);
  EXPECT_EQ(frame.lblCopyright->Caption(), u"Copyright (c) 2026 Tessary Systems");
  EXPECT_TRUE(frame.lblCopyright->Visible());
  EXPECT_EQ(frame.pnlBottom->Height(), 20);
}

using CaptionStrip = SimulatedIdeTest;

TEST_F(CaptionStrip, PainterGetsTheDefaultColourWithThemingOffTheThemesOtherwiseAndMayBeAbsent) {
  TWelcomePagePainter& painter = Service<TWelcomePagePainter>();
  TThemingServices& theming = Service<TThemingServices>();
  theming.SetThemingEnabled(false);
  {
    TQorbWelcomePageCaptionFrame caption(nullptr);
    EXPECT_EQ(caption.lblCaption->Font()->Color(), clWindowText);
    EXPECT_EQ(caption.lblVersion->Font()->Color(), clGrayText);
    Render(caption);
    ASSERT_EQ(painter.CallCount(), 1);
    EXPECT_EQ(static_cast<uint32_t>(painter.LastCall().Color), 0x1FFFFFFFu);
  }

  theming.SetThemingEnabled(true);
  theming.SetActiveTheme(UnicodeString(u"Dark"));
  TQorbWelcomePageCaptionFrame caption(nullptr);
  const TIDEStyle& style = theming.ActiveStyle();
  EXPECT_EQ(caption.lblCaption->Font()->Color(), style.GetSystemColor(clWindowText));
  const std::unique_ptr<TBitmap> strip = Render(caption);
  ASSERT_EQ(painter.CallCount(), 2);
  EXPECT_EQ(painter.LastCall().Control, &caption);
  EXPECT_EQ(painter.LastCall().Color, style.GetSystemColor(clWindow));
  EXPECT_EQ(painter.LastCall().Alpha, 64);
  // The painter's line along the bottom in the highlight colour; clear of the
  // labels the dark colour under the wash, not the window colour.
  EXPECT_TRUE(AllPixels(*strip, Rect(0, 36, caption.Width(), 38), style.GetSystemColor(clHighlight)));
  EXPECT_FALSE(AllPixels(*strip, Rect(2, 1, 3, 2), clWindow));

  // Without the painter only the frame paints, and without the service too.
  ASSERT_TRUE(ide.Services().SetEnabled(INTAWelcomePagePainter::IID, false));
  theming.SetThemingEnabled(false);
  TQorbWelcomePageCaptionFrame plain(nullptr);
  EXPECT_TRUE(AllPixels(*Render(plain), Rect(0, 36, plain.Width(), 38), clWindow));
  WelcomePagePluginService = nullptr;
  EXPECT_NO_THROW(Render(plain));
  EXPECT_EQ(painter.CallCount(), 2);
}

namespace {

constexpr std::u16string_view kID = u"TessarySystems.WelcomePage.Main";

class WelcomePageRegistration : public SimulatedIdeTest {
 protected:
  void TearDown() override {
    UnregisterQorbWelcomePage();
    SimulatedIdeTest::TearDown();
  }

  int calls = 0;
  TGetWelcomePagePlugins provider = MakeWelcomePagePluginsProvider([this] {
    ++calls;
    return DynArray<TQorbWelcomePagePlugin>{{u"One", u"1.0", u"", nullptr}, {u"Two", u"2.0", u"", nullptr}};
  });
};

}  // namespace

TEST_F(WelcomePageRegistration, OneObjectMakesOneViewAtATimeAndUnregistersWithItsProvider) {
  RegisterQorbWelcomePage(provider);
  INTAWelcomePagePlugin* plugin = Service<TWelcomePageService>().FindPlugin(UnicodeString(kID));
  auto creator = ComPtr<INTAWelcomePagePlugin>(plugin).As<INTAWelcomePageContentPluginCreator>();
  ASSERT_TRUE(plugin && creator);
  // The IDE calls the creator's slots through the plug-in's method table.
  EXPECT_EQ(static_cast<void*>(creator.get()), static_cast<void*>(plugin));
  DynArray<TGraphic*> icons{nullptr};  // a result variable that holds something is emptied
  creator->GetIcon(icons);
  EXPECT_TRUE(icons.empty());
  EXPECT_EQ(creator->GetIconIndex(), -1);
  creator->SetIconIndex(4);
  EXPECT_EQ(creator->GetIconIndex(), 4);

  EXPECT_EQ(creator->GetView(), nullptr);
  TFrame* view = creator->CreateView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(creator->CreateView(), view);
  EXPECT_EQ(creator->GetView(), view);
  EXPECT_EQ(calls, 1);
  {  // The IDE's view holds the caption strip over the list, both owned by it.
    ComPtr<INTAWelcomePageCaptionFrame> slots;
    ASSERT_TRUE(SupportsObject(view, slots));
    auto* caption = dynamic_cast<TQorbWelcomePageCaptionFrame*>(slots->GetCaptionFrame());
    auto* content = dynamic_cast<TQorbWelcomePageFrame*>(slots->GetContentFrame());
    ASSERT_TRUE(caption && content);
    EXPECT_TRUE(caption->Owner() == view && content->Owner() == view);
    EXPECT_EQ(caption->BoundsRect(), Rect(0, 0, 420, 38));
    EXPECT_EQ(content->BoundsRect(), Rect(0, 38, 420, 338));
    EXPECT_EQ(content->lbPlugins->Count(), 2);
  }
  creator->DestroyView();
  EXPECT_EQ(creator->GetView(), nullptr);
  ASSERT_NE(creator->CreateView(), nullptr);
  EXPECT_EQ(calls, 2);

  // Unregistered with a view alive: no plug-in, and no provider for later frames.
  creator = nullptr;
  UnregisterQorbWelcomePage();
  EXPECT_EQ(Service<TWelcomePageService>().GetPluginCount(), 0);
  EXPECT_EQ(TQorbWelcomePageFrame(nullptr).lbPlugins->Count(), 0);
  EXPECT_EQ(calls, 2);
}

TEST_F(WelcomePageRegistration, WithoutWelcomePageOnlyTheProviderIsSet) {
  WelcomePagePluginService = nullptr;
  RegisterQorbWelcomePage(provider);
  EXPECT_EQ(Service<TWelcomePageService>().GetPluginCount(), 0);
  EXPECT_EQ(TQorbWelcomePageFrame(nullptr).lbPlugins->Count(), 2);
  UnregisterQorbWelcomePage();
  EXPECT_EQ(TQorbWelcomePageFrame(nullptr).lbPlugins->Count(), 0);
}

// Both sides are built from one set of headers, so only these pins keep the
// method tables where an IDE or plug-in built elsewhere expects them.
TEST(PresentationSlots, WhereTheHostAndTheIdeCallEachOther) {
  using P = INTAWelcomePageContentPluginCreator;
  using S = INTAWelcomePagePluginService;
  using V = INTAWelcomePageCaptionFrame;
  using E = INTAEnvironmentOptionsServices;
  using O = INTAAddInOptions;
  using F = IQorbOptionsFrame;
  const std::pair<int, int> slots[] = {
      {SlotOf(&P::GetPluginID), 3}, {SlotOf(&P::GetPluginName), 4}, {SlotOf(&P::GetPluginVisible), 5},
      {SlotOf(&P::GetView), 6}, {SlotOf(&P::CreateView), 7}, {SlotOf(&P::DestroyView), 8}, {SlotOf(&P::GetIcon), 9},
      {SlotOf(&P::GetIconIndex), 10}, {SlotOf(&P::SetIconIndex), 11}, {SlotOf(&S::RegisterPlugin), 11},
      {SlotOf(&S::UnRegisterPlugin), 12}, {SlotOf(&S::CreateViewFrame), 16}, {SlotOf(&V::SetCaptionFrame), 9},
      {SlotOf(&V::SetContentFrame), 11}, {SlotOf(&INTAWelcomePagePainter::PaintBackground), 4},
      {SlotOf(&E::RegisterAddInOptions), 3}, {SlotOf(&E::UnregisterAddInOptions), 4}, {SlotOf(&O::GetArea), 3},
      {SlotOf(&O::GetFrameClass), 5}, {SlotOf(&O::FrameCreated), 6}, {SlotOf(&O::DialogClosed), 7},
      {SlotOf(&O::ValidateContents), 8}, {SlotOf(&O::IncludeInIDEInsight), 10}, {SlotOf(&F::LoadSettings), 3},
      {SlotOf(&F::SaveSettings), 4}, {SlotOf(&F::ValidateContents), 5}};
  for (size_t i = 0; i < std::size(slots); ++i) EXPECT_EQ(slots[i].first, slots[i].second) << "entry " << i;
}
