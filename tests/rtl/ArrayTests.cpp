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

// Copies share one block; SetLength unshares by copying the strings (not
// moving them out of the shared block); only the last reference finalises them.
TEST(DynArray, CopiesShareSetLengthUnsharesAndTheLastReferenceFinalises) {
  UnicodeString x(u"x");
  {
    DynArray<UnicodeString> a{x, UnicodeString(u"y")};
    DynArray<UnicodeString> b = a;
    EXPECT_EQ(a.Raw(), b.Raw());
    EXPECT_EQ(a.RefCount(), 2);
    b.SetLength(3);
    EXPECT_NE(a.Raw(), b.Raw());
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(b[1], u"y");
    EXPECT_TRUE(b[2].IsEmpty());
    EXPECT_EQ(a[0], u"x");
    EXPECT_EQ(ustr::Header(x.Raw())->refCnt, 3);
    DynArray<UnicodeString> c = a;
    a.Clear();
    EXPECT_EQ(ustr::Header(x.Raw())->refCnt, 3);
  }
  EXPECT_EQ(ustr::Header(x.Raw())->refCnt, 1);
}
