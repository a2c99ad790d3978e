#include <gtest/gtest.h>

#include <climits>
#include <thread>

#include "winapi/LastError.h"
#include "winapi/MulDiv.h"
#include "winapi/SysColors.h"

TEST(MulDiv, RoundsHalvesAwayFromZeroThroughAWideIntermediate) {
  // The last five do not fit or divide by zero: -1.
  const int cases[][4] = {{1, 1, 2, 1}, {-1, 1, 2, -1}, {1, -1, 2, -1}, {-1, -1, 2, 1}, {3, 1, 2, 2}, {-3, 1, 2, -2},
                          {5, 1, 4, 1}, {7, 1, 4, 2}, {-7, 1, -4, 2}, {2, 1, 3, 1}, {1, 1, 3, 0}, {44, 144, 96, 66},
                          {15, 120, 96, 19}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {INT_MIN, 2, 2, INT_MIN},
                          {1 << 20, 1 << 20, 1 << 10, 1 << 30}, {INT_MAX, 2, 1, -1}, {INT_MIN, -1, 1, -1},
                          {INT_MIN, 1, -1, -1}, {5, 7, 0, -1}, {0, 7, 0, -1}};
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c[0], c[1], c[2]), c[3]) << c[0] << " * " << c[1] << " / " << c[2];
}

TEST(SysColors, IndexesOutsideTheTableGiveBlack) {
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0xD77800u);  // RGB(0, 120, 215)
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
  EXPECT_EQ(SysErrorMessage(987654), u"Unknown error (987654).");
}
