#include <gtest/gtest.h>

#include "presentation/Qorb.Main.Branding.h"
#include "tests/presentation/FakeBranding.h"
#include "tests/presentation/IdeGlobals.h"
#include "winapi/Gdi.h"

// This test program is a "package" without version texts whose logo is
// only 20 by 24 pixels.

TEST(BareBranding, SmallLogoGivesNoSplashEntryAndAnAboutEntryWithoutPicture) {
  TIdeGlobals globals;
  auto splash = Make<TFakeSplash>();
  auto about = Make<TFakeAboutBox>();
  globals.Splash(splash);
  globals.Services(about);
  const size_t gdi = GdiLiveObjectCount();

  RegisterBranding();
  EXPECT_TRUE(splash->Calls.empty());
  ASSERT_EQ(about->Added.size(), 1u);
  EXPECT_EQ(about->Added[0].Handle, nullptr);
  EXPECT_TRUE(about->Added[0].Status.IsEmpty());
  // Without company and copyright: the suite's line and the web address.
  EXPECT_EQ(about->Added[0].Description,
            u"Plugin host for the Qorb tool suite: shared services, options pages and the Qorb menu for all Qorb "
            u"plugins in the IDE.\r\nhttps://tessary-systems.example/qorb");
  UnregisterBranding();
  EXPECT_EQ(about->Removed.size(), 1u);
  EXPECT_EQ(GdiLiveObjectCount(), gdi);
}
