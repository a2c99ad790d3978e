#include <gtest/gtest.h>

#include "rtl/DateTime.h"
#include "rtl/Exception.h"
#include "rtl/Format.h"

TEST(Format, RuntimeRules) {
  EXPECT_EQ(Format(u"%5d|%-4s|%.3d|%.2s|%%", {-42, u"ab", 7, u"xyz"}), u"  -42|ab  |007|xy|%");
  EXPECT_EQ(Format(u"%x %X %u", {-1, 255, -1}), u"ffffffff FF 4294967295");
}

TEST(Format, WrongArgumentsRaiseConvertError) {
  EXPECT_THROW(Format(u"%d", {u"text"}), EConvertError);
  EXPECT_THROW(Format(u"%s", {1}), EConvertError);
  EXPECT_THROW(Format(u"%s %s", {u"one"}), EConvertError);
  EXPECT_THROW(Format(u"%q", {1}), EConvertError);
  EXPECT_THROW(Format(u"trailing %", {1}), EConvertError);
}

TEST(DateTime, TimeOfDayFormatting) {
  EXPECT_EQ(FormatDateTime(u"hh:nn:ss.zzz", EncodeDate(2026, 12, 5) + EncodeTime(21, 0, 0, 500)),
            u"21:00:00.500");
  EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd \"at\" hh", EncodeDate(1999, 2, 28) + EncodeTime(7, 0, 0, 0)),
            u"1999-02-28 at 07");
  EXPECT_DOUBLE_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_DOUBLE_EQ(EncodeDate(2000, 1, 1), 36526.0);
}
