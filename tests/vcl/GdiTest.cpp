#include <thread>
#include <vector>

#include "VclTest.h"
#include "winapi/LastError.h"

namespace {

using GdiTest = GdiLeakCheck;

BITMAPINFO Info(int32_t width, int32_t height, WORD bits = 32, DWORD compression = BI_RGB) {
  return {{sizeof(BITMAPINFOHEADER), width, height, 1, bits, compression, 0, 0, 0, 0, 0}, {}};
}

HBITMAP Create(const BITMAPINFO& bi, void** pixels = nullptr, UINT usage = DIB_RGB_COLORS) {
  return CreateDIBSection(nullptr, &bi, usage, pixels, nullptr, 0);
}

TEST_F(GdiTest, HandlesDescribeTheirPixelsAndDieOnce) {
  void* pixels = nullptr;
  const HBITMAP h = Create(Info(5, -3, 24), &pixels);
  BITMAP bm{};
  ASSERT_EQ(GetObjectW(h, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmHeight, 3);
  EXPECT_EQ(bm.bmWidthBytes, 16);  // rows padded to four bytes
  EXPECT_EQ(bm.bmBits, pixels);
  EXPECT_EQ(GetObjectW(h, sizeof bm - 1, &bm), 0);

  EXPECT_EQ(DeleteObject(h), TRUE);
  EXPECT_EQ(DeleteObject(h), FALSE);
  EXPECT_EQ(GetObjectW(h, sizeof bm, &bm), 0);
  EXPECT_EQ(DeleteObject(&bm), FALSE);
  // Handles are never reused: the stale one stays unknown.
  unique_hbitmap next(Create(Info(1, -1)));
  EXPECT_NE(next.get(), h);
  EXPECT_EQ(GetObjectW(h, sizeof bm, &bm), 0);
}

// Refused alike by the system's GDI and by the stand-in.
TEST_F(GdiTest, EmptyOrOversizedRequestsAnswerNull) {
  for (const BITMAPINFO& bi : {Info(0, -4), Info(-4, -4), Info(4, 0), Info(4, INT32_MIN)}) {
    void* pixels = &pixels;
    EXPECT_EQ(Create(bi, &pixels), nullptr) << bi.bmiHeader.biWidth << " " << bi.bmiHeader.biHeight;
    EXPECT_EQ(pixels, nullptr);
  }
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
  EXPECT_EQ(Create(Info(INT32_MAX, -INT32_MAX)), nullptr);
}

#ifndef _WIN32
// The stand-in makes only the top-down 24 and 32-bit DIBs the component
// library uses, and says why it refuses; the system makes the others.
TEST_F(GdiTest, StandInRefusesOtherLayoutsAndSaysWhyOnLinux) {
  const BITMAPINFO refused[] = {Info(4, 4) /* bottom-up */, Info(0, -4),     Info(-4, -4),      Info(4, 0),
                                Info(4, INT32_MIN),         Info(4, -4, 16), Info(4, -4, 32, 3)};
  for (const BITMAPINFO& bi : refused) {
    void* pixels = &pixels;
    SetLastError(0);
    EXPECT_EQ(Create(bi, &pixels), nullptr) << bi.bmiHeader.biWidth << " " << bi.bmiHeader.biHeight;
    EXPECT_EQ(pixels, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  }
  EXPECT_EQ(Create(Info(4, -4), nullptr, 1), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  // Refused before anything is allocated.
  EXPECT_EQ(Create(Info(INT32_MAX, -INT32_MAX)), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_NOT_ENOUGH_MEMORY);
}
#endif

TEST_F(GdiTest, HandlesFromManyThreads) {
  constexpr int kThreads = 4;
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([t, &failures] {
      for (int i = 0; i < 500; ++i) {
        void* bits = nullptr;
        const HBITMAP h = Create(Info(3 + t, -2), &bits);
        BITMAP bm{};
        if (!h || GetObjectW(h, sizeof bm, &bm) == 0 || bm.bmWidth != 3 + t) ++failures[t];
        if (bits) static_cast<uint8_t*>(bits)[0] = static_cast<uint8_t>(i);
        if (DeleteObject(h) != TRUE) ++failures[t];
      }
    });
  for (auto& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
