#include <gtest/gtest.h>

#include <cstddef>

#include "rtl/DynArray.h"
#include "rtl/UnicodeString.h"

TEST(DynArrayLayout, HeaderMatchesTheRuntimeArrayRecord) {
  static_assert(offsetof(DynArrayRec, refCnt) == 4);
  static_assert(offsetof(DynArrayRec, length) == 8);
  DynArray<int> a{1, 2, 3};
  const auto* h = reinterpret_cast<const DynArrayRec*>(a.Raw()) - 1;
  EXPECT_EQ(h->refCnt, 1);
  EXPECT_EQ(h->length, 3);
  EXPECT_EQ(DynArray<int>().Raw(), nullptr);
}

TEST(DynArray, CopiesShareAndSetLengthUnshares) {
  DynArray<UnicodeString> a{UnicodeString(u"x"), UnicodeString(u"y")};
  DynArray<UnicodeString> b = a;
  EXPECT_EQ(a.Raw(), b.Raw());
  EXPECT_EQ(a.RefCount(), 2);
  b.SetLength(3);
  EXPECT_NE(a.Raw(), b.Raw());
  EXPECT_EQ(a.RefCount(), 1);
  EXPECT_EQ(b[1], u"y");
  EXPECT_TRUE(b[2].IsEmpty());
  // The strings were copied into the new block, not moved out of the shared one.
  EXPECT_EQ(a[0], u"x");
  EXPECT_EQ(ustr::Header(a[0].Raw())->refCnt, 2);
}

TEST(DynArray, LastReferenceFinalisesStringElements) {
  UnicodeString s(u"kept");
  {
    DynArray<UnicodeString> a;
    a.Append(s);
    a.Append(s);
    EXPECT_EQ(ustr::Header(s.Raw())->refCnt, 3);
    DynArray<UnicodeString> b = a;
    a.Clear();
    EXPECT_EQ(ustr::Header(s.Raw())->refCnt, 3);
  }
  EXPECT_EQ(ustr::Header(s.Raw())->refCnt, 1);
}
