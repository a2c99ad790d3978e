#include <gtest/gtest.h>

#include "presentation/Qorb.Main.Branding.h"
#include "presentation/Qorb.Main.WelcomePage.Caption.h"
#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "tests/presentation/FakeBranding.h"
#include "tests/presentation/IdeGlobals.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"
#include "winapi/Gdi.h"

// This test program is a "package" without version texts (no company, no
// copyright, no version) whose logo is only 20 by 24 pixels.

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

TEST(BareWelcomePage, NoCopyrightHidesTheLineButKeepsTheFoot) {
  TQorbWelcomePageFrame frame(nullptr);
  EXPECT_FALSE(frame.lblCopyright->Visible());
  EXPECT_TRUE(frame.pnlBottom->Visible());
  EXPECT_EQ(frame.pnlBottom->Height(), 20);
  // The list still ends where the foot begins.
  EXPECT_EQ(frame.lbPlugins->Height(), frame.Height() - 20);
}

TEST(BareWelcomePage, CaptionWithoutVersionReadsV) {
  TQorbWelcomePageCaptionFrame caption(nullptr);
  EXPECT_EQ(caption.lblVersion->Caption(), u"v");
  EXPECT_EQ(caption.lblCaption->Caption(), u"QORB Delphi Tool Suite");
}
