#include <gtest/gtest.h>

#include "presentation/Qorb.Main.Branding.h"
#include "tests/presentation/FakeBranding.h"
#include "tests/presentation/IdeGlobals.h"
#include "winapi/Gdi.h"

// This test program is the "package": its resources carry the 96 by 96
// logo with the transparent frame and the version 2.1.0.7 with company and
// copyright.
namespace {

constexpr uint32_t kMagenta = 0xFF00FF;

class Branding : public ::testing::Test {
 protected:
  void SetUp() override { gdiAtStart = GdiLiveObjectCount(); }
  void TearDown() override {
    UnregisterBranding();
    EXPECT_EQ(GdiLiveObjectCount(), gdiAtStart);
  }
  size_t gdiAtStart = 0;
  TIdeGlobals globals;
};

void ExpectFramedLogo(const TCopiedPicture& logo) {
  ASSERT_EQ(logo.Width, 24);
  ASSERT_EQ(logo.Height, 24);
  ASSERT_EQ(logo.BitsPerPixel, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      const bool frame = x < 2 || y < 2 || x >= 22 || y >= 22;
      if (frame) {
        EXPECT_EQ(logo.Pixel(x, y), kMagenta) << x << ',' << y;
      }
    }
  EXPECT_EQ(logo.Pixel(2, 2), 0xC08040u);
  EXPECT_EQ(logo.Pixel(21, 21), 0xC08040u);
  // Mean alpha exactly 128: the weighted colour, 408000 / 2048 in blue.
  EXPECT_EQ(logo.Pixel(10, 10), 199u);
  // Mean alpha just below 128: the background.
  EXPECT_EQ(logo.Pixel(12, 10), kMagenta);
}

}  // namespace

TEST_F(Branding, SplashAndAboutBoxEntriesCarryTheReducedLogo) {
  auto splash = Make<TFakeSplash>();
  auto about = Make<TFakeAboutBox>();
  globals.Splash(splash);
  globals.Services(about);

  RegisterBranding();

  ASSERT_EQ(splash->Calls.size(), 1u);
  const TSplashCall& s = splash->Calls[0];
  EXPECT_EQ(s.Caption, u"Qorb Tool-Suite for Delphi");
  EXPECT_FALSE(s.Flag);
  EXPECT_EQ(s.Status, u"2.1.0.7");
  EXPECT_TRUE(s.Further.IsEmpty());
  ExpectFramedLogo(s.Picture);
  // The IDE copied it; ours is gone right after the call.
  EXPECT_EQ(GetObjectW(s.Handle, 0, nullptr), 0);

  ASSERT_EQ(about->Added.size(), 1u);
  const TAboutCall& a = about->Added[0];
  EXPECT_EQ(a.Title, u"Qorb Tool-Suite for Delphi");
  EXPECT_EQ(a.Description,
            u"Plugin host for the Qorb tool suite: shared services, options pages and the Qorb menu for all Qorb "
            u"plugins in the IDE.\r\nTessary Systems\r\nCopyright (c) 2026 Tessary Systems\r\n"
            u"https://tessary-systems.example/qorb");
  EXPECT_FALSE(a.Flag1);
  EXPECT_EQ(a.Status, u"2.1.0.7");
  EXPECT_TRUE(a.Further.IsEmpty());
  EXPECT_FALSE(a.Flag2);
  // The About box draws from the handle for as long as the entry exists.
  ExpectFramedLogo(CopyPicture(a.Handle));

  UnregisterBranding();
  EXPECT_EQ(about->Removed, std::vector<int32_t>{7});
  EXPECT_EQ(GetObjectW(a.Handle, 0, nullptr), 0);
}

TEST_F(Branding, UnregisteringWithoutEntryOrTwiceTouchesNothing) {
  auto about = Make<TFakeAboutBox>();
  globals.Services(about);
  UnregisterBranding();
  EXPECT_EQ(about->Calls, 0);

  RegisterBranding();
  UnregisterBranding();
  const size_t gdi = GdiLiveObjectCount();
  UnregisterBranding();
  EXPECT_EQ(about->Calls, 2);
  EXPECT_EQ(GdiLiveObjectCount(), gdi);
}

TEST_F(Branding, FailingRemovalStillFreesTheLogo) {
  auto about = Make<TFakeAboutBox>();
  about->RaiseOnRemove = true;
  globals.Services(about);
  RegisterBranding();
  const HBITMAP logo = about->Added.at(0).Handle;
  EXPECT_NO_THROW(UnregisterBranding());
  EXPECT_EQ(GetObjectW(logo, 0, nullptr), 0);
  // The index was reset: nothing more is removed.
  UnregisterBranding();
  EXPECT_EQ(about->Removed.size(), 1u);
}

TEST_F(Branding, SplashHandleGoesAlsoWhenTheIdeRaises) {
  auto splash = Make<TFakeSplash>();
  splash->Raise = true;
  globals.Splash(splash);
  EXPECT_THROW(RegisterBranding(), std::runtime_error);
  ASSERT_EQ(splash->Calls.size(), 1u);
  EXPECT_EQ(GetObjectW(splash->Calls[0].Handle, 0, nullptr), 0);
}

TEST_F(Branding, WithoutIdeServicesNothingIsMade) {
  RegisterBranding();
  EXPECT_EQ(GdiLiveObjectCount(), gdiAtStart);
}

TEST(LogoReduction, BoxesFollowMulDivAndRejectOtherFormats) {
  // 3 source columns onto 2: MulDiv gives boxes [0, 2) and [2, 3).
  TBitmap source(3, 1);
  source.SetPixelFormat(pf32bit);
  uint8_t* s = source.ScanLine(0);
  const uint8_t pixels[] = {10, 20, 30, 255, 30, 40, 50, 255, 1, 2, 3, 200};
  std::copy(std::begin(pixels), std::end(pixels), s);
  TBitmap dest;
  dest.SetPixelFormat(pf24bit);
  dest.SetSize(2, 1);
  ReduceLogo(source, dest, clWindow);
  const uint8_t* d = dest.ScanLine(0);
  EXPECT_EQ((std::vector<uint8_t>(d, d + 6)), (std::vector<uint8_t>{20, 30, 40, 1, 2, 3}));

  // More destination than source pixels: empty boxes take the background,
  // a system colour resolved to its value.
  TBitmap wide;
  wide.SetPixelFormat(pf24bit);
  wide.SetSize(6, 1);
  ReduceLogo(source, wide, clWindow);
  const uint8_t* w = wide.ScanLine(0);
  EXPECT_EQ(w[0], 10);   // box [0, 1)
  EXPECT_EQ(w[3], 255);  // box [1, 1): empty, and clWindow is white

  EXPECT_THROW(ReduceLogo(dest, wide, clFuchsia), EInvalidGraphicOperation);
}
