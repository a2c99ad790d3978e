#include <gtest/gtest.h>

#include <cstddef>

#include "rtl/UnicodeString.h"

TEST(UnicodeStringLayout, HeaderMatchesTheRuntimeStringRecord) {
  static_assert(offsetof(StrRec, codePage) == 4);
  static_assert(offsetof(StrRec, elemSize) == 6);
  static_assert(offsetof(StrRec, refCnt) == 8);
  static_assert(offsetof(StrRec, length) == 12);
  UnicodeString s(u"Qorb");
  const StrRec* h = ustr::Header(s.Raw());
  EXPECT_EQ(h->codePage, 1200);
  EXPECT_EQ(h->elemSize, 2);
  EXPECT_EQ(h->refCnt, 1);
  EXPECT_EQ(h->length, 4);
  EXPECT_EQ(s.Raw()[4], u'\0');
  EXPECT_EQ(UnicodeString().Raw(), nullptr);
  EXPECT_EQ(UnicodeString(u"").Raw(), nullptr);
}

TEST(UnicodeString, CopiesShareAndReleaseTheBlock) {
  UnicodeString a(u"abc");
  {
    UnicodeString b = a;
    EXPECT_EQ(a.Raw(), b.Raw());
    EXPECT_EQ(ustr::Header(a.Raw())->refCnt, 2);
    UnicodeString c{UnicodeStringRef(b)};
    EXPECT_EQ(ustr::Header(a.Raw())->refCnt, 3);
  }
  EXPECT_EQ(ustr::Header(a.Raw())->refCnt, 1);
  a += u"def";
  EXPECT_EQ(a, u"abcdef");
  EXPECT_EQ(a.Length(), 6);
  EXPECT_EQ(*a.put(), nullptr);  // released before a callee fills it
  EXPECT_TRUE(a.IsEmpty());
}

TEST(UnicodeString, ACopyOfAConstantIsAHeapString) {
  // A constant (count -1) may live in a module that is unloaded later.
  struct {
    StrRec rec{0, 1200, 2, -1, 2};
    char16_t text[3] = u"hi";
  } constant;
  UnicodeString copy(UnicodeStringRef::FromRaw(constant.text));
  EXPECT_NE(copy.Raw(), constant.text);
  EXPECT_EQ(copy, u"hi");
  EXPECT_EQ(ustr::Header(copy.Raw())->refCnt, 1);
  ustr::Release(constant.text);  // a constant is never freed
  EXPECT_EQ(constant.rec.refCnt, -1);
}

TEST(UnicodeString, Utf8RoundTripAndInvalidBytes) {
  const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xF0\x9F\x98\x80";
  UnicodeString s = UnicodeString::FromUtf8(text);
  EXPECT_EQ(s.Length(), 8);  // the emoji is a surrogate pair
  EXPECT_EQ(s.ToUtf8(), text);
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
  EXPECT_EQ(Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
}
