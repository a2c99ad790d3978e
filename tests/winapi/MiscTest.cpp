#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "winapi/LastError.h"
#include "winapi/MulDiv.h"
#include "winapi/SysColors.h"

TEST(MulDiv, RoundsHalvesAwayFromZero) {
  EXPECT_EQ(MulDiv(1, 1, 2), 1);
  EXPECT_EQ(MulDiv(-1, 1, 2), -1);
  EXPECT_EQ(MulDiv(1, -1, 2), -1);
  EXPECT_EQ(MulDiv(-1, -1, 2), 1);
  EXPECT_EQ(MulDiv(3, 1, 2), 2);
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(5, 1, 4), 1);    // 1.25
  EXPECT_EQ(MulDiv(7, 1, 4), 2);    // 1.75
  EXPECT_EQ(MulDiv(-7, 1, -4), 2);
  EXPECT_EQ(MulDiv(2, 1, 3), 1);    // 0.67
  EXPECT_EQ(MulDiv(1, 1, 3), 0);
  // Scaling by screen density, as the host does.
  EXPECT_EQ(MulDiv(44, 144, 96), 66);
  EXPECT_EQ(MulDiv(15, 120, 96), 19);  // 18.75
}

TEST(MulDiv, WideIntermediateAndItsLimits) {
  EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
  EXPECT_EQ(MulDiv(INT_MIN, 2, 2), INT_MIN);
  EXPECT_EQ(MulDiv(1 << 20, 1 << 20, 1 << 10), 1 << 30);
  EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
  EXPECT_EQ(MulDiv(INT_MIN, 1, -1), -1);
  EXPECT_EQ(MulDiv(5, 7, 0), -1);
  EXPECT_EQ(MulDiv(0, 7, 0), -1);
}

TEST(SysColors, WindowsDefaults) {
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0xFFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0xF0F0F0u);
  EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), 0x6D6D6Du);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0xD77800u);  // RGB(0, 120, 215)
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), 0xFFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_MENUBAR), 0xF0F0F0u);
  EXPECT_EQ(GetSysColor(-1), 0u);
  EXPECT_EQ(GetSysColor(31), 0u);
}

TEST(LastError, IsPerThreadAndHasWindowsTexts) {
  SetLastError(ERROR_MOD_NOT_FOUND);
  std::thread([] {
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    SetLastError(ERROR_PROC_NOT_FOUND);
  }).join();
  EXPECT_EQ(GetLastError(), ERROR_MOD_NOT_FOUND);

  EXPECT_EQ(SysErrorMessage(ERROR_MOD_NOT_FOUND), u"The specified module could not be found.");
  EXPECT_EQ(SysErrorMessage(ERROR_PROC_NOT_FOUND), u"The specified procedure could not be found.");
  EXPECT_EQ(SysErrorMessage(ERROR_INVALID_HANDLE), u"The handle is invalid.");
  EXPECT_EQ(SysErrorMessage(987654), u"Unknown error (987654).");
}
