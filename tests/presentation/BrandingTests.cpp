#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>

#include "ide/AboutBoxService.h"
#include "ide/SplashScreenService.h"
#include "presentation/Qorb.Main.Branding.h"
#include "tests/presentation/Rendering.h"
#include "tests/presentation/SimulatedIde.h"

// This test program is the "package": its resources carry the 96 by 96 logo
// with the transparent frame and the version 2.1.0.7 with company and
// copyright.
namespace {

constexpr uint32_t kMagenta = 0xFF00FF;
constexpr char16_t kTitle[] = u"Qorb Tool-Suite for Delphi";

class Branding : public SimulatedIdeTest {
 protected:
  void TearDown() override {
    UnregisterBranding();
    EXPECT_EQ(GdiLiveObjectCount(), gdiAtStart);
    SimulatedIdeTest::TearDown();
  }
  const size_t gdiAtStart = GdiLiveObjectCount();
};

// Px(x, y) is a pixel of the 24 by 24 logo as 0xRRGGBB.
template <class Px>
void ExpectFramedLogo(Px px) {
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      EXPECT_TRUE((x >= 2 && y >= 2 && x < 22 && y < 22) || px(x, y) == kMagenta) << x << ',' << y;
  EXPECT_EQ(px(2, 2), 0xC08040u);
  EXPECT_EQ(px(21, 21), 0xC08040u);
  // Mean alpha exactly 128: the weighted colour, 408000 / 2048 in blue.
  EXPECT_EQ(px(10, 10), 199u);
  // Mean alpha just below 128: the background.
  EXPECT_EQ(px(12, 10), kMagenta);
}

// Counts every call; its removal can fail.
class TFakeAboutBox : public TInterfacedObjectOf<IBorlandIDEServices, IOTAAboutBoxServices> {
 public:
  int Calls = 0;
  bool RaiseOnRemove = false;
  int32_t AddPluginInfo(UnicodeStringRef, UnicodeStringRef, HBITMAP, bool, UnicodeStringRef, UnicodeStringRef,
                        bool) override {
    return ++Calls, 7;
  }
  void RemovePluginInfo(int32_t) override {
    ++Calls;
    if (RaiseOnRemove) throw std::runtime_error("about box gone");
  }
  void UpdatePluginInfo(int32_t, UnicodeStringRef, UnicodeStringRef) override { ++Calls; }
};

}  // namespace

TEST_F(Branding, SplashAndAboutBoxEntriesCarryTheReducedLogo) {
  RegisterBranding();
  // The splash screen copied its picture; only the About box's is alive.
  EXPECT_EQ(GdiLiveObjectCount(), gdiAtStart + 1);
  const std::vector<TSplashEntry> splash = Service<TSplashScreenService>().Entries();
  ASSERT_EQ(splash.size(), 1u);
  EXPECT_EQ(splash[0].Caption, kTitle);
  EXPECT_EQ(splash[0].LicenseStatus, u"2.1.0.7");
  EXPECT_FALSE(splash[0].IsUnregistered);
  ASSERT_EQ(std::tuple(splash[0].Width, splash[0].Height, splash[0].BitsPerPixel), std::tuple(24, 24, 24));
  ExpectFramedLogo([&](int x, int y) { return RgbAt(&splash[0].Pixels[72 * y], x); });

  const std::vector<TAboutBoxEntry> about = Service<TAboutBoxService>().Entries();
  ASSERT_EQ(about.size(), 1u);
  EXPECT_EQ(about[0].Title, kTitle);
  EXPECT_EQ(about[0].Description,
            u"Plugin host for the Qorb tool suite: shared services, options pages and the Qorb menu for all Qorb "
            u"plugins in the IDE.\r\nTessary Systems\r\nCopyright (c) 2026 Tessary Systems\r\n"
            u"https://tessary-systems.example/qorb");
  EXPECT_EQ(about[0].LicenseStatus, u"2.1.0.7");
  EXPECT_FALSE(about[0].IsUnregistered || about[0].IsTrial);
  // The About box draws from the host's handle for as long as the entry exists.
  ExpectFramedLogo([&](int x, int y) { return RgbAt(about[0].Image, x, y); });

}

TEST_F(Branding, UnregisteringRemovesOnlyItsOwnEntryOnceAndAlwaysFreesTheLogo) {
  // Without the IDE's services no logo is made at all.
  BorlandIDEServices = nullptr;
  SplashScreenServices = nullptr;
  RegisterBranding();
  EXPECT_EQ(GdiLiveObjectCount(), gdiAtStart);

  auto about = Make<TFakeAboutBox>();
  BorlandIDEServices = about.As<IBorlandIDEServices>();
  UnregisterBranding();
  EXPECT_EQ(about->Calls, 0);
  RegisterBranding();
  about->RaiseOnRemove = true;
  EXPECT_NO_THROW(UnregisterBranding());
  UnregisterBranding();
  EXPECT_EQ(about->Calls, 2);
  // The logo's handle is checked in TearDown.
}

TEST(LogoReduction, BoxesFollowMulDivAndRejectOtherFormats) {
  // 3 source columns onto 2: MulDiv gives boxes [0, 2) and [2, 3).
  TBitmap source(3, 1);
  source.SetPixelFormat(pf32bit);
  const uint8_t pixels[] = {10, 20, 30, 255, 30, 40, 50, 255, 1, 2, 3, 200};
  std::copy(std::begin(pixels), std::end(pixels), source.ScanLine(0));
  auto dest = Canvas24(2, 1, clBlack);
  ReduceLogo(source, *dest, clWindow);
  EXPECT_EQ(RgbAt(*dest, 0, 0), 0x281E14u);
  EXPECT_EQ(RgbAt(*dest, 1, 0), 0x030201u);

  // More destination than source pixels: an empty box takes the background,
  // a system colour resolved to its value.
  auto wide = Canvas24(6, 1, clBlack);
  ReduceLogo(source, *wide, clWindow);
  EXPECT_EQ(RgbAt(*wide, 0, 0), 0x1E140Au);  // box [0, 1)
  EXPECT_EQ(RgbAt(*wide, 1, 0), 0xFFFFFFu);  // box [1, 1): empty, and clWindow is white

  EXPECT_THROW(ReduceLogo(*dest, *wide, clFuchsia), EInvalidGraphicOperation);
}
