#include <gtest/gtest.h>

#include "ide/ThemingServices.h"
#include "otahelper/Qorb.Main.Theming.h"
#include "tests/services/ServicesFixture.h"

class ThemeColorTest : public ServicesTest {
 protected:
  TThemingServices& Theming() { return *Ide().Services().Service<TThemingServices>(); }
};

TEST_F(ThemeColorTest, WithThemingOnSystemColoursBecomeTheActiveStylesColours) {
  ASSERT_TRUE(Theming().SetActiveTheme(UnicodeString(u"Light")));
  const TColor light = QorbThemeColor(clWindow);
  EXPECT_NE(light, clWindow);
  EXPECT_EQ(light, Theming().ActiveStyle().GetSystemColor(clWindow));
  // Not cached: a theme switch shows at the next call.
  ASSERT_TRUE(Theming().SetActiveTheme(UnicodeString(u"Dark")));
  const TColor dark = QorbThemeColor(clWindow);
  EXPECT_NE(dark, light);
  // The fallback plays no part while theming is on; plain colours pass.
  EXPECT_EQ(QorbThemeColor(clWindow, clDefault), dark);
  EXPECT_EQ(QorbThemeColor(clRed), clRed);
  EXPECT_EQ(QorbThemeColor(clRed, clBlue), clRed);
}

TEST_F(ThemeColorTest, WithoutThemingTheFallbackIsUsed) {
  Theming().SetActiveTheme(UnicodeString(u"Dark"));
  Theming().SetThemingEnabled(false);
  EXPECT_EQ(QorbThemeColor(clWindow), clWindow);
  EXPECT_EQ(QorbThemeColor(clWindow, clDefault), clDefault);

  Theming().SetThemingEnabled(true);
  ASSERT_TRUE(Ide().Services().SetEnabled(IOTAIDEThemingServices::IID, false));
  EXPECT_EQ(QorbThemeColor(clGrayText), clGrayText);
  EXPECT_EQ(QorbThemeColor(clWindow, clDefault), clDefault);

  // Outside the IDE.
  BorlandIDEServices.reset();
  EXPECT_EQ(QorbThemeColor(clWindowText), clWindowText);
  EXPECT_EQ(QorbThemeColor(clWindowText, clDefault), clDefault);
}
