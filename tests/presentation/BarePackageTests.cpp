#include <gtest/gtest.h>

#include "ide/AboutBoxService.h"
#include "ide/SplashScreenService.h"
#include "presentation/Qorb.Main.Branding.h"
#include "presentation/Qorb.Main.WelcomePage.Caption.h"
#include "presentation/Qorb.Main.WelcomePage.View.h"
#include "tests/presentation/SimulatedIde.h"
#include "vcl/Label.h"
#include "vcl/ListBox.h"
#include "vcl/Panel.h"

// This test program is a "package" without version texts (no company, no
// copyright, no version) whose logo is only 20 by 24 pixels.
using BarePackage = SimulatedIdeTest;

TEST_F(BarePackage, SmallLogoGivesNoSplashEntryAndAnAboutEntryWithoutPicture) {
  const size_t gdi = GdiLiveObjectCount();
  RegisterBranding();
  EXPECT_TRUE(Service<TSplashScreenService>().Entries().empty());
  const std::vector<TAboutBoxEntry> about = Service<TAboutBoxService>().Entries();
  ASSERT_EQ(about.size(), 1u);
  EXPECT_EQ(about[0].Image, nullptr);
  EXPECT_TRUE(about[0].LicenseStatus.IsEmpty());
  // Without company and copyright: the suite's line and the web address.
  EXPECT_EQ(about[0].Description,
            u"Plugin host for the Qorb tool suite: shared services, options pages and the Qorb menu for all Qorb "
            u"plugins in the IDE.\r\nhttps://tessary-systems.example/qorb");
  UnregisterBranding();
  EXPECT_TRUE(Service<TAboutBoxService>().Entries().empty());
  EXPECT_EQ(GdiLiveObjectCount(), gdi);
}

TEST(BareWelcomePage, NoCopyrightHidesTheLineButKeepsTheFootAndTheCaptionReadsV) {
  TQorbWelcomePageFrame frame(nullptr);
  EXPECT_FALSE(frame.lblCopyright->Visible());
  EXPECT_TRUE(frame.pnlBottom->Visible());
  EXPECT_EQ(frame.pnlBottom->Height(), 20);
  EXPECT_EQ(frame.lbPlugins->Height(), frame.Height() - 20);
  TQorbWelcomePageCaptionFrame caption(nullptr);
  EXPECT_EQ(caption.lblVersion->Caption(), u"v");
}
