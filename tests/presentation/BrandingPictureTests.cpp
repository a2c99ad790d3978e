// The workbench's pictures of the splash screen and the About box with the
// host's branding in them.
#include <gtest/gtest.h>

#include "presentation/Qorb.Main.Branding.h"
#include "tests/presentation/Rendering.h"
#include "tests/presentation/SimulatedIde.h"
#include "workbench/pictures/BrandingPicture.h"

namespace {

class BrandingPicture : public SimulatedIdeTest {
 protected:
  void TearDown() override {
    UnregisterBranding();
    SimulatedIdeTest::TearDown();
  }
};

}  // namespace

// Both draw the logo with magenta as the transparent colour: its frame
// shows the background, its inside the logo.
TEST_F(BrandingPicture, TheLogosFrameShowsTheBackground) {
  RegisterBranding();
  for (void (*paint)(TIDE&, TBitmap&) : {&PaintSplashScreen, &PaintAboutBox}) {
    TBitmap picture;
    paint(ide, picture);
    const uint32_t background = RgbAt(picture, 1, 1);
    for (const auto& [x, y] : {std::pair{8, 8}, std::pair{31, 8}, std::pair{8, 31}, std::pair{31, 31}, std::pair{20, 18}})
      EXPECT_EQ(RgbAt(picture, x, y), background) << x << ',' << y;  // frame, and the see-through middle
    EXPECT_EQ(RgbAt(picture, 10, 10), 0xC08040u);
    EXPECT_EQ(RgbAt(picture, 29, 29), 0xC08040u);
  }
}
