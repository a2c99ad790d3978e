#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

#include "GdiLeakCheck.h"
#include "winapi/Gdi.h"
#include "winapi/LastError.h"

namespace {

using GdiTest = GdiLeakCheck;

BITMAPINFO Info(int32_t width, int32_t height, WORD bits) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = bits;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

TEST_F(GdiTest, DibSectionDescribesItselfAndStartsZeroed) {
  for (WORD bits : {WORD{24}, WORD{32}}) {
    BITMAPINFO bi = Info(5, -3, bits);
    void* pixels = nullptr;
    unique_hbitmap h(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &pixels, nullptr, 0));
    ASSERT_TRUE(h);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(GdiLiveObjectCount(), 1u);

    EXPECT_EQ(GetObjectW(h.get(), 0, nullptr), static_cast<int>(sizeof(BITMAP)));
    BITMAP bm{};
    ASSERT_EQ(GetObjectW(h.get(), sizeof bm, &bm), static_cast<int>(sizeof(BITMAP)));
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmHeight, 3);
    EXPECT_EQ(bm.bmBitsPixel, bits);
    EXPECT_EQ(bm.bmPlanes, 1);
    // Rows are padded to four bytes: 15 -> 16 for 24 bits.
    EXPECT_EQ(bm.bmWidthBytes, bits == 24 ? 16 : 20);
    EXPECT_EQ(bm.bmBits, pixels);
    std::vector<uint8_t> zero(static_cast<size_t>(bm.bmWidthBytes) * 3, 0);
    EXPECT_EQ(std::memcmp(pixels, zero.data(), zero.size()), 0);
    // The whole area is writable (ASan checks the bounds).
    std::memset(pixels, 0xab, zero.size());
  }
}

TEST_F(GdiTest, UnsupportedRequestsAnswerNull) {
  struct Case {
    BITMAPINFO bi;
    UINT usage;
  } cases[] = {
      {Info(4, 4, 32), DIB_RGB_COLORS},  // bottom-up
      {Info(0, -4, 32), DIB_RGB_COLORS},
      {Info(-4, -4, 32), DIB_RGB_COLORS},
      {Info(4, 0, 32), DIB_RGB_COLORS},
      {Info(4, -4, 8), DIB_RGB_COLORS},
      {Info(4, -4, 16), DIB_RGB_COLORS},
      {Info(4, -4, 32), 1},
      {Info(4, INT32_MIN, 32), DIB_RGB_COLORS},
  };
  for (auto& c : cases) {
    void* pixels = &c;
    SetLastError(0);
    EXPECT_EQ(CreateDIBSection(nullptr, &c.bi, c.usage, &pixels, nullptr, 0), nullptr);
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  BITMAPINFO compressed = Info(4, -4, 32);
  compressed.bmiHeader.biCompression = 3;
  EXPECT_EQ(CreateDIBSection(nullptr, &compressed, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);

  // Sizes whose byte count would not fit memory, or 32 bits, are refused
  // before anything is allocated.
  BITMAPINFO huge = Info(INT32_MAX, -INT32_MAX, 32);
  SetLastError(0);
  EXPECT_EQ(CreateDIBSection(nullptr, &huge, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
  BITMAPINFO wide = Info(INT32_MAX, -1, 32);
  EXPECT_EQ(CreateDIBSection(nullptr, &wide, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST_F(GdiTest, UnknownAndDeletedHandlesAreRefused) {
  BITMAPINFO bi = Info(2, -2, 32);
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(DeleteObject(h), TRUE);
  EXPECT_EQ(DeleteObject(h), FALSE);

  BITMAP bm{};
  EXPECT_EQ(GetObjectW(h, sizeof bm, &bm), 0);
  EXPECT_EQ(DeleteObject(nullptr), FALSE);
  int local = 0;
  EXPECT_EQ(DeleteObject(&local), FALSE);
  EXPECT_EQ(GetObjectW(reinterpret_cast<HGDIOBJ>(uintptr_t{1}), sizeof bm, &bm), 0);

  // A new bitmap never takes over the number of a deleted one.
  HBITMAP next = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0);
  EXPECT_NE(next, h);
  EXPECT_EQ(GetObjectW(h, sizeof bm, &bm), 0);
  // Too small a buffer gets nothing.
  EXPECT_EQ(GetObjectW(next, sizeof bm - 1, &bm), 0);
  EXPECT_EQ(DeleteObject(next), TRUE);
}

TEST_F(GdiTest, UniqueHandleDeletesAndReleases) {
  BITMAPINFO bi = Info(1, -1, 24);
  HBITMAP kept;
  {
    unique_hbitmap a(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0));
    unique_hbitmap b(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0));
    EXPECT_EQ(GdiLiveObjectCount(), 2u);
    a = std::move(b);  // deletes a's first bitmap
    EXPECT_EQ(GdiLiveObjectCount(), 1u);
    kept = a.release();
  }
  EXPECT_EQ(GdiLiveObjectCount(), 1u);
  EXPECT_EQ(DeleteObject(kept), TRUE);
}

TEST_F(GdiTest, HandlesFromManyThreads) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 500;
  std::vector<std::thread> threads;
  std::vector<int> failures(kThreads, 0);
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      BITMAPINFO bi = Info(3 + t, -2, 32);
      for (int i = 0; i < kRounds; ++i) {
        void* bits = nullptr;
        HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        BITMAP bm{};
        if (!h || GetObjectW(h, sizeof bm, &bm) == 0 || bm.bmWidth != 3 + t) ++failures[t];
        if (bits) static_cast<uint8_t*>(bits)[0] = static_cast<uint8_t>(i);
        if (DeleteObject(h) != TRUE) ++failures[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
